// A beginner's explanation of each message, taken from the language guide's
// Messages section, which is the one place the explanations are written.
#pragma once

#include <QString>

// The paragraphs "What it means.", "Usual cause." and "Fix." written under
// the guide's heading for `message`, as plain text (Markdown marks removed,
// each paragraph on one line, paragraphs separated by a blank line). A number
// filled into a message matches the heading's N ("... after 1234 values ..."
// matches "... after N values ..."). Empty for a message the guide does not
// explain.
QString MessageExplanation(const QString& message);

// The same, looked up in the Markdown text `guide`.
QString MessageExplanationIn(const QString& guide, const QString& message);

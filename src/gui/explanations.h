// A beginner's explanation of each message of the message table.
#pragma once

#include <QString>

// What the message means, its usual cause and an example of the fix, as
// plain-text paragraphs separated by blank lines; empty for an unknown message.
QString MessageExplanation(const QString& message);

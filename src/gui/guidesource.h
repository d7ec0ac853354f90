// The language guide and the bundled example programs, carried in the
// program's resources (":/guide/guide.md", ":/examples/NAME.cv"), so the
// installed program needs no files beside it.
#pragma once

#include <QByteArray>
#include <QString>

// The guide's Markdown text.
QString GuideMarkdown();

// The bytes of examples/NAME.cv, as a file of that name would hold them; empty
// when there is no such example (a name is a plain word, never a path).
QByteArray ExampleBytes(const QString& name);

// The information box (information icon, one OK button), behind a seam that
// tests can answer.
#pragma once

#include <QString>

#include <functional>

class QWidget;

using TInfoBoxHook = std::function<void(const QString& title, const QString& text)>;

// Shows the box modally, or hands it to the installed hook.
void ShowInfoBox(QWidget* parent, const QString& title, const QString& text);

// Installs a hook (an empty one restores the real box) and returns the previous one.
TInfoBoxHook SetInfoBoxHook(TInfoBoxHook hook);

// What screen readers see of status-bar panels.
#pragma once

// A label placed on a status bar reads as a named panel holding a text: its
// accessible name says what the panel shows ("Working register"), its text
// is what it shows now ("WR: 5"). A panel left unnamed is named by its text,
// as any label is. Installing more than once installs once.
void InstallPanelAccessible();

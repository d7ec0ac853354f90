// What screen readers see of the run window's output.
#pragma once

// Gives every TOutputView an accessible interface: read-only text whose
// characters are the shown output, read in place (a query copies only the
// part it asks for). Installing more than once installs once.
void InstallOutputAccessible();

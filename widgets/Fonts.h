#pragma once
// Maps the layouts' Windows face names to installed Japanese faces. Call after the
// QApplication exists and before any window is built.
void InstallFontSubstitutions();

#pragma once
// The start-up's offer to store a drill that ended without storing its answers (the program
// killed mid-drill): the learning record kept them, the bank and the history did not.

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

// Looks at the data directory the settings file SETTINGSFILE names; when its latest drill's
// answers are in the record but not in its files, asks the pupil (default: store them) and
// stores them as the drill's end would have. RESETSETTLED as this build's drill start. Anything
// that fails is told; nothing is ever half-stored. A missing settings file or record, or a data
// directory another copy of the program is drilling on, is left alone without a word. MAYSTORE,
// when given, says whether the drill's session is one to store here (school mode: not a drill
// read back from another PC, which that PC stores).
void OfferToStoreUnstoredDrill(QWidget* parent, const std::string& settingsFile, bool resetSettled,
                               const std::function<bool(std::int64_t session)>& mayStore = {});

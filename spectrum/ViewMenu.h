#pragma once
// The settings of the analyser's audio-grade view as its display's popup menu offers them and a
// command line names them: each setting's name and caption, and its choices by word and text.
// The window builds its submenus from this table; `--set NAME=WORD` picks a choice.

#include "spectrum/SpectrumView.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::spectrum {

struct ViewChoice {
    std::string Word;  // typed on a command line: "db", "hann", "64"
    std::string Text;  // the menu item: «Децибелы»
};

struct ViewMenuItem {
    std::string Name;     // "levelScale"
    std::string Caption;  // the submenu: «Шкала уровней»
    bool Check = false;   // a checkable item of its own, with the choices "0" and "1"
    std::vector<ViewChoice> Choices;
};

// levelScale, dbTop, dbSpan, frequencyScale, window, averaging, peakHold, spectrogram, lines,
// colourMap, in menu order.
const std::vector<ViewMenuItem>& ViewMenuItems();

// `view` with the choice `word` of the setting `name`; nothing when either is unknown.
std::optional<ViewSettings> WithViewChoice(const ViewSettings& view, std::string_view name, std::string_view word);

// The word of the choice `view` holds for `name` (empty for an unknown name).
std::string ViewChoiceOf(const ViewSettings& view, std::string_view name);

}  // namespace mirel::spectrum

#pragma once
// Help texts of the editor's band buttons (the tabs that open the band
// editors), in the help mark-up: <name> marks the control's name.

#include <string>

namespace gui {

inline constexpr const char* MatrixButtonHelp =
    "<name>Matrix button</name> displays a band matrix, which controls how each band affect each other. By default "
    "the graph is a diagonal line from top left to bottom right, which means that modulator band 1 affects carrier "
    "band 1, modulator band 2 affects carrier band 2 etc. However you may set this up differently and you may even "
    "let some carrier bands be affected multiple modulator bands, or none of them.";
inline constexpr const char* GraphsButtonHelp =
    "<name>Graphs button</name> displays a set of graphs, which you can use to control features of each band, such "
    "as the distribution of the bands along the frequency axis, resonances, dynamic properties etc.";
inline constexpr const char* BandLevelsHelp = "<name>Equalizer</name> contains volumes for each band.";

// The text without its marks; a <p> mark starts a new line.
std::string PlainHelp(const std::string& help);

}  // namespace gui

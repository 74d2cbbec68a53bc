#pragma once

namespace qelmar::dataload {

// How newly loaded data joins the data the current frame shows.
enum DataLoadOption {
    DataLoadOption_None = 0,
    ReplaceAndResetStyle = 1,
    ReplaceAndRetainStyle = 2,
    ReplaceInAllSharedFrames = 3,
    Append = 4,
};

} // namespace qelmar::dataload

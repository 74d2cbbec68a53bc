#pragma once

#include <string>
#include <vector>

namespace qelmar::dialogs::io {

// One export setting of a preset: the style value's names joined by '/' ("ExportSetup/ImageWidth")
// and its value as a number (a boolean as 0 or 1, an enumeration as its value).
struct ExportPresetValue {
    std::string path;
    double value = 0;

    bool operator==(const ExportPresetValue& other) const {
        return path == other.path && value == other.value;
    }
};

struct ExportPreset {
    std::string name;
    std::vector<ExportPresetValue> values;
    // The comment lines just above the preset's name, kept when the file is written again.
    std::vector<std::string> comments;
};

// Named sets of export settings, kept in the startup file "export_presets.txt":
//
//     #!QELMAR EP 1
//     # A comment.
//     [Slides (PNG, 1920 px)]
//     ExportSetup/ExportFormat = 13
//     ExportSetup/ImageWidth = 1920
//
// Without a file the presets the library ships are offered; saving the first preset of the user
// writes those first, so that they stay offered.
class ExportPresets {
public:
    // The three presets offered when the kernel has no presets file.
    static ExportPresets shipped();
    // The presets of the text after the header line, whose first line is line `firstLine`; throws
    // std::runtime_error naming the line of the first bad content.
    static ExportPresets parse(const std::string& text, int firstLine = 2);
    // The file's presets, or the shipped ones when there is no file; throws std::runtime_error with
    // a message for the user when the file cannot be read or holds bad content.
    static ExportPresets load();

    // The whole file, header line first.
    std::string text() const;
    // Writes the whole file through the kernel; a failed write leaves the earlier file as it was.
    // Throws std::runtime_error with the kernel's reason.
    void save() const;

    const std::vector<ExportPreset>& presets() const { return m_presets; }
    const ExportPreset* find(const std::string& name) const;
    // Replaces the preset of the same name (keeping its comments and place) or appends it.
    void put(ExportPreset preset);

private:
    std::vector<std::string> m_leadingComments;
    std::vector<ExportPreset> m_presets;
    std::vector<std::string> m_trailingComments;
};

} // namespace qelmar::dialogs::io

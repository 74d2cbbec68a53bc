#include "export/ExportPresets.h"

#include "host/ExportSettingsTable.h"
#include "host/KernelErrors.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace qelmar::dialogs::io {

using sdk::KernelString;

namespace {

const char description[] = "Export Presets";
const char fileName[] = "export_presets.txt";
const char fileTag[] = "EP";
const int fileVersion = 1;
const char header[] = "#!QELMAR EP 1\n";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string joinedPath(const sdk::ExportSetting& setting) {
    std::string path;
    for (const char* name : setting.path)
        path += (path.empty() ? "" : "/") + std::string(name);
    return path;
}

// A preset may hold every setting but the file name, which belongs to one export.
bool isPresetSetting(const std::string& path) {
    const auto matches = [&path](const sdk::ExportSetting* setting) {
        return setting != &sdk::exportsettings::fileName && joinedPath(*setting) == path;
    };
    return std::any_of(std::begin(sdk::exportsettings::all), std::end(sdk::exportsettings::all), matches) ||
           std::any_of(std::begin(sdk::exportsettings::additions), std::end(sdk::exportsettings::additions),
                       matches);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

[[noreturn]] void badLine(int line, const std::string& reason) {
    throw std::runtime_error("Line " + std::to_string(line) + ": " + reason);
}

double numberOf(const std::string& text, int line) {
    double value = 0;
    const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        badLine(line, "\"" + text + "\" is not a number.");
    return value;
}

// Integers as integers, other numbers in the shortest form that reads back the same.
std::string numberText(double value) {
    char buffer[64];
    const auto result = std::abs(value) < 1e15 && value == std::floor(value)
                            ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value))
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

ExportPreset preset(const char* name, std::vector<ExportPresetValue> values) {
    return ExportPreset{name, std::move(values), {}};
}

std::string readRest(std::FILE* file) {
    std::string text;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, read);
    return text;
}

std::string lastKernelError() {
    return KernelString(QelUtilGetLastErrorMessage()).str();
}

} // namespace

ExportPresets ExportPresets::shipped() {
    ExportPresets presets;
    presets.m_presets = {
        preset("Slides (PNG, 1920 px)", {{"ExportSetup/ExportFormat", ExportFormat_PNG},
                                         {"Interface/UseOffScreenBitMap", 1},
                                         {"ExportSetup/ImageWidth", 1920},
                                         {"ExportSetup/UsePhysicalSize", 0},
                                         {"ExportSetup/TransparentBackground", 0}}),
        // 17 cm at 300 dpi: 2008 pixels.
        preset("Print (TIFF, 300 dpi, 17 cm)", {{"ExportSetup/ExportFormat", ExportFormat_TIFF},
                                                {"Interface/UseOffScreenBitMap", 1},
                                                {"ExportSetup/ImageWidth", 2008},
                                                {"PrintSetup/ImageResolution", 300},
                                                {"ExportSetup/UsePhysicalSize", 1},
                                                {"ExportSetup/TransparentBackground", 0}}),
        preset("Web movie (MPEG-4)", {{"ExportSetup/ExportFormat", ExportFormat_MPEG4},
                                      {"Interface/UseOffScreenBitMap", 1},
                                      {"ExportSetup/ImageWidth", 1280},
                                      {"ExportSetup/AnimationSpeed", 25},
                                      {"ExportSetup/UsePhysicalSize", 0}}),
    };
    return presets;
}

ExportPresets ExportPresets::parse(const std::string& text, int firstLine) {
    ExportPresets presets;
    std::vector<std::string> comments;
    int line = firstLine;
    for (const std::string& raw : linesOf(text)) {
        const std::string content = trimmed(raw);
        if (content.empty()) {
            // Blank lines are not kept.
        } else if (content.front() == '#') {
            comments.push_back(raw);
        } else if (content.front() == '[') {
            if (content.back() != ']')
                badLine(line, "a preset's name must end with \"]\".");
            const std::string name = trimmed(content.substr(1, content.size() - 2));
            if (name.empty())
                badLine(line, "a preset needs a name between \"[\" and \"]\".");
            if (presets.find(name))
                badLine(line, "a second preset is named \"" + name + "\".");
            if (presets.m_presets.empty() && presets.m_leadingComments.empty()) {
                presets.m_leadingComments = std::move(comments);
                comments.clear();
            }
            presets.m_presets.push_back(ExportPreset{name, {}, std::move(comments)});
            comments.clear();
        } else {
            const std::size_t equals = content.find('=');
            if (equals == std::string::npos)
                badLine(line, "expected \"[name]\" or \"Setting/Path = value\", found \"" + content + "\".");
            if (presets.m_presets.empty())
                badLine(line, "a setting comes before the first preset's \"[name]\" line.");
            const std::string path = trimmed(content.substr(0, equals));
            if (!isPresetSetting(path))
                badLine(line, "\"" + path + "\" is no export setting a preset can hold.");
            const double value = numberOf(trimmed(content.substr(equals + 1)), line);
            presets.m_presets.back().values.push_back({path, value});
        }
        ++line;
    }
    if (presets.m_presets.empty())
        presets.m_leadingComments = std::move(comments);
    else
        presets.m_trailingComments = std::move(comments);
    return presets;
}

ExportPresets ExportPresets::load() {
    const KernelString path(QelAppStartupFileGetPath(description, fileName));
    if (path.isNull())
        return shipped();
    int version = 0;
    const FilePtr file(QelAppStartupFileOpen(description, path.c_str(), fileTag, &version, 0));
    if (!file)
        throw std::runtime_error("The presets file " + path.str() +
                                 " could not be read: " + lastKernelError());
    if (version != fileVersion)
        throw std::runtime_error("The presets file " + path.str() + " has version " +
                                 std::to_string(version) + "; this version reads version " +
                                 std::to_string(fileVersion) + ".");
    try {
        return parse(readRest(file.get()));
    } catch (const std::runtime_error& bad) {
        throw std::runtime_error("The presets file " + path.str() + " is not valid. " + bad.what());
    }
}

std::string ExportPresets::text() const {
    std::string text = header;
    const auto addLines = [&text](const std::vector<std::string>& lines) {
        for (const std::string& line : lines)
            text += line + "\n";
    };
    addLines(m_leadingComments);
    for (const ExportPreset& preset : m_presets) {
        text += "\n";
        addLines(preset.comments);
        text += "[" + preset.name + "]\n";
        for (const ExportPresetValue& value : preset.values)
            text += value.path + " = " + numberText(value.value) + "\n";
    }
    if (!m_trailingComments.empty()) {
        text += "\n";
        addLines(m_trailingComments);
    }
    return text;
}

void ExportPresets::save() const {
    const std::string contents = text();
    if (!QelAppStartupFileWrite(description, fileName, contents.data(), contents.size()))
        throw std::runtime_error("The presets could not be saved: " + lastKernelError());
}

const ExportPreset* ExportPresets::find(const std::string& name) const {
    const auto found = std::find_if(m_presets.begin(), m_presets.end(),
                                    [&name](const ExportPreset& preset) { return preset.name == name; });
    return found == m_presets.end() ? nullptr : &*found;
}

void ExportPresets::put(ExportPreset preset) {
    const auto found = std::find_if(m_presets.begin(), m_presets.end(),
                                    [&preset](const ExportPreset& held) { return held.name == preset.name; });
    if (found == m_presets.end()) {
        m_presets.push_back(std::move(preset));
        return;
    }
    preset.comments = std::move(found->comments);
    *found = std::move(preset);
}

} // namespace qelmar::dialogs::io

// The preview panel as a user lives with it across openings of the one dialog: sizes typed in
// print, resolutions, transparency and presets, confirmed with a file or cancelled, with the
// kernel's values changed elsewhere in between. A model holds what the user believes; every
// opening shows the kernel's values and every OK leaves the pending ones in the kernel.

#include "ExportPreviewSteps.h"
#include "ExportSessionSteps.h"

#include <QCheckBox>
#include <QRadioButton>

#include <cmath>
#include <ostream>

namespace qelmar::exporting::test {

namespace {

struct PanelSettings {
    ExportFormat_e format = ExportFormat_PNG;
    bool typedWidth = true;
    int width = 800;
    long dpi = 150;
    bool physical = false;
    bool transparent = false;

    bool operator==(const PanelSettings& other) const {
        return format == other.format && typedWidth == other.typedWidth &&
               (!typedWidth || width == other.width) && dpi == other.dpi && physical == other.physical &&
               transparent == other.transparent;
    }
};

std::ostream& operator<<(std::ostream& out, const PanelSettings& s) {
    return out << (s.format == ExportFormat_PNG ? "PNG" : "TIFF") << ", "
               << (s.typedWidth ? "width " + std::to_string(s.width) : std::string("screen width")) << ", "
               << s.dpi << " dpi" << (s.physical ? ", in print" : "")
               << (s.transparent ? ", transparent" : "");
}

struct PanelModel {
    bool open = false;
    PanelSettings kernel;
    PanelSettings pending;
    // The unit outlives the openings: it is the panel's, not the kernel's.
    bool centimetres = false;
    int files = 0;
};

const char* pageOf(ExportFormat_e format) {
    return format == ExportFormat_PNG ? "exportPng_" : "exportTiff_";
}

std::string named(ExportFormat_e format, const char* suffix) {
    return std::string(pageOf(format)) + suffix;
}

} // namespace

class PanelSession : public ExportSession<ExportPreviewTest> {
public:
    PanelSettings kernelSettings(bool typedWidth) {
        PanelSettings settings;
        settings.format = static_cast<ExportFormat_e>(styles.integerValue(formatPath));
        settings.typedWidth = typedWidth;
        settings.width = static_cast<int>(styles.integerValue(imageWidthPath));
        settings.dpi = styles.integerValue(resolutionPath);
        settings.physical = styles.boolValue(usePhysicalSizePath);
        settings.transparent = styles.boolValue(transparentPath);
        return settings;
    }

    PanelSettings shownSettings() {
        ExportDialog& shown = dialog();
        PanelSettings settings;
        settings.format = control<QComboBox>(shown, "export_Format_CmbBox")->currentText() == "TIFF"
                              ? ExportFormat_TIFF
                              : ExportFormat_PNG;
        settings.typedWidth =
            control<QRadioButton>(shown, named(settings.format, "EnterWidth_RadioButton").c_str())
                ->isChecked();
        settings.width =
            control<QLineEdit>(shown, named(settings.format, "Width_LineEdit").c_str())->text().toInt();
        settings.dpi = control<QLineEdit>(shown, "exportPreview_Resolution_LineEdit")->text().toLong();
        settings.physical =
            control<QCheckBox>(shown, "exportPreview_UsePhysicalSize_ToggleButton")->isChecked();
        settings.transparent =
            control<QCheckBox>(shown, "exportPreview_Transparent_ToggleButton")->isChecked();
        return settings;
    }

    // In centimetres, the width field shows the file's width in print.
    void checkShown(const PanelModel& model) {
        RC_ASSERT(shownSettings() == model.pending);
        if (!model.centimetres || !model.pending.physical)
            return;
        const double shown = control<QLineEdit>(dialog(), "exportPreview_Width_LineEdit")->text().toDouble();
        RC_ASSERT(std::abs(shown - model.pending.width / double(model.pending.dpi) * 2.54) < 0.006);
    }
};

namespace {

using PanelEdit = EditStep<PanelModel, PanelSession>;
using PanelKernelStep = KernelStep<PanelModel, PanelSession>;

struct Open : PanelEdit {
    void checkPreconditions(const PanelModel& model) const override { RC_PRE(!model.open); }
    void apply(PanelModel& model) const override {
        model.open = true;
        model.pending = model.kernel;
    }
    void act(const PanelModel&, PanelSession& session) const override { session.openDialog(); }
    void show(std::ostream& out) const override { out << "open"; }
};

struct TypeWidthInCentimetres : PanelEdit {
    double centimetres = *rc::gen::inRange(4, 21) / 2.0;
    void apply(PanelModel& model) const override {
        model.centimetres = true;
        model.pending.typedWidth = true;
        model.pending.physical = true;
        model.pending.width = static_cast<int>(std::lround(centimetres / 2.54 * model.pending.dpi));
    }
    void act(const PanelModel&, PanelSession& session) const override {
        choose(session.dialog(), "exportPreview_Unit_CmbBox", "Centimetres");
        // With three decimals, which the field never shows: a text the field showed is no edit.
        typeInto(session.dialog(), "exportPreview_Width_LineEdit", QString::number(centimetres, 'f', 3));
    }
    void show(std::ostream& out) const override { out << "type " << centimetres << " cm"; }
};

// In centimetres the size in print stays and the pixels follow.
struct TypeResolution : PanelEdit {
    long dpi = *rc::gen::inRange(72, 301);
    void checkPreconditions(const PanelModel& model) const override {
        RC_PRE(model.open && model.centimetres && model.pending.physical && dpi != model.pending.dpi);
    }
    void apply(PanelModel& model) const override {
        model.pending.width =
            static_cast<int>(std::lround(double(model.pending.width) * dpi / model.pending.dpi));
        model.pending.dpi = dpi;
        model.pending.typedWidth = true;
    }
    void act(const PanelModel&, PanelSession& session) const override {
        typeInto(session.dialog(), "exportPreview_Resolution_LineEdit", QString::number(dpi));
    }
    void show(std::ostream& out) const override { out << "type " << dpi << " dpi"; }
};

struct ToggleTransparent : PanelEdit {
    void apply(PanelModel& model) const override { model.pending.transparent = !model.pending.transparent; }
    void act(const PanelModel&, PanelSession& session) const override {
        click(session.dialog(), "exportPreview_Transparent_ToggleButton");
    }
    void show(std::ostream& out) const override { out << "toggle transparent"; }
};

struct ChoosePreset : PanelEdit {
    bool print = *rc::gen::arbitrary<bool>();
    void apply(PanelModel& model) const override {
        PanelSettings& s = model.pending;
        s.format = print ? ExportFormat_TIFF : ExportFormat_PNG;
        s.typedWidth = true;
        s.width = print ? 2008 : 1920;
        s.dpi = print ? 300 : s.dpi;
        s.physical = print;
        s.transparent = false;
    }
    void act(const PanelModel&, PanelSession& session) const override {
        choose(session.dialog(), "exportPreview_Preset_CmbBox",
               print ? "Print (TIFF, 300 dpi, 17 cm)" : "Slides (PNG, 1920 px)");
    }
    void show(std::ostream& out) const override { out << "preset " << (print ? "print" : "slides"); }
};

struct OkWithFile : PanelKernelStep {
    void checkPreconditions(const PanelModel& model) const override { RC_PRE(model.open); }
    void apply(PanelModel& model) const override {
        model.open = false;
        model.kernel = model.pending;
        ++model.files;
    }
    void act(const PanelModel& model, PanelSession& session) const override {
        const char* extension = model.pending.format == ExportFormat_PNG ? ".png" : ".tiff";
        session.files.saveAs(
            QString::fromStdString(session.path("panel-" + std::to_string(model.files) + extension)));
        session.pressOk(session.dialog());
        RC_ASSERT(!session.dialog().isVisible());
    }
    void show(std::ostream& out) const override { out << "OK with a file"; }
};

struct ChangeElsewhere : PanelKernelStep {
    bool physical = *rc::gen::arbitrary<bool>();
    bool transparent = *rc::gen::arbitrary<bool>();
    int width = *rc::gen::inRange(100, 900);
    void checkPreconditions(const PanelModel& model) const override { RC_PRE(!model.open); }
    void apply(PanelModel& model) const override {
        model.kernel.physical = physical;
        model.kernel.transparent = transparent;
        model.kernel.width = width;
    }
    void act(const PanelModel&, PanelSession& session) const override {
        session.styles.setFromElsewhere(usePhysicalSizePath, physical);
        session.styles.setFromElsewhere(transparentPath, transparent);
        session.styles.setFromElsewhere(imageWidthPath, long{width});
    }
    void show(std::ostream& out) const override {
        out << "elsewhere: width " << width << (physical ? ", in print" : "")
            << (transparent ? ", transparent" : "");
    }
};

using Cancel = CancelStep<PanelModel, PanelSession>;

} // namespace

RC_GTEST_PROP(ExportPreviewStateful, ThePanelShowsTheKernelsValuesOnEveryOpening, ()) {
    PanelSession session;
    session.SetUp();
    PanelModel model;
    model.kernel = session.kernelSettings(PanelSession::widthChoiceOfTheProcess());
    rc::state::check(
        model, session,
        rc::state::gen::execOneOfWithArgs<Open, TypeWidthInCentimetres, TypeResolution, ToggleTransparent,
                                          ChoosePreset, OkWithFile, Cancel, ChangeElsewhere>());
    session.TearDown();
}

} // namespace qelmar::exporting::test

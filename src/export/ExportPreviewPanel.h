#pragma once

#include <QWidget>

#include <memory>

namespace qelmar::sdk::ui::propertymanager {
class ExportPropertiesGenerated;
class ExportPropertiesManager;
class ExportPreviewPropertiesManager;
} // namespace qelmar::sdk::ui::propertymanager

namespace qelmar::dialogs::io {

// Beside the export form: a preview of the file the export would write with the settings as
// they stand (not yet submitted), its size in pixels, in print and in bytes, the size typed in
// print at a resolution, a transparent background, and named presets of the settings.
class ExportPreviewPanel : public QWidget {
    Q_OBJECT

public:
    ExportPreviewPanel(sdk::ui::propertymanager::ExportPropertiesGenerated& set,
                       sdk::ui::propertymanager::ExportPropertiesManager& manager, QWidget* parent);
    ~ExportPreviewPanel() override;

    sdk::ui::propertymanager::ExportPreviewPropertiesManager& properties() const;

    // Drops the panel's pending values for the kernel's, as Cancel does.
    void discardChanges();
    // Shows what the kernel and the presets file hold now, for a dialog opened again.
    void followKernel();

    // Fills the dialog from the preset of this name; false (the user told why) when there is none
    // or one of its values is refused.
    bool applyPreset(const QString& name);
    // Saves the dialog's settings under the name, asking before a preset of the name is replaced;
    // false when the user said no or the file could not be written (the user told why).
    bool savePreset(const QString& name);
    QStringList presetNames() const;

    // How many previews were rendered, and whether a change waits for the next one.
    int renderCount() const;
    bool renderPending() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io

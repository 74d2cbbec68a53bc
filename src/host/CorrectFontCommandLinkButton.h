#pragma once

#include <QCommandLinkButton>

namespace qelmar::sdk::ui {

// A command link button whose title and description use the button's own font (the title in
// bold) instead of the fixed point sizes of the toolkit's button, so that it matches the rest
// of the dialog at any font size the user chose.
class CorrectFontCommandLinkButton : public QCommandLinkButton {
public:
    explicit CorrectFontCommandLinkButton(QWidget* parent = nullptr);
    CorrectFontCommandLinkButton(const QString& text, const QString& description, QWidget* parent = nullptr);

    QFont titleFont() const;
    QFont descriptionFont() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect titleRect(int width) const;
    QRect descriptionRect(int width) const;
    int textLeft() const;
};

} // namespace qelmar::sdk::ui

#include "host/CorrectFontCommandLinkButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextOption>

namespace qelmar::sdk::ui {

namespace {

constexpr int margin = 10;
constexpr int iconSpacing = 6;
constexpr int lineSpacing = 4;
constexpr int defaultTextWidth = 240;

} // namespace

CorrectFontCommandLinkButton::CorrectFontCommandLinkButton(QWidget* parent)
    : QCommandLinkButton(parent) {}

CorrectFontCommandLinkButton::CorrectFontCommandLinkButton(const QString& text, const QString& description,
                                                           QWidget* parent)
    : QCommandLinkButton(text, description, parent) {}

QFont CorrectFontCommandLinkButton::titleFont() const {
    QFont title = font();
    title.setBold(true);
    return title;
}

QFont CorrectFontCommandLinkButton::descriptionFont() const {
    return font();
}

int CorrectFontCommandLinkButton::textLeft() const {
    const int iconWidth = icon().isNull() ? 0 : iconSize().width() + iconSpacing;
    return margin + iconWidth;
}

QRect CorrectFontCommandLinkButton::titleRect(int width) const {
    const QFontMetrics metrics(titleFont());
    const int textWidth = std::max(1, width - textLeft() - margin);
    const QRect bounds = metrics.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text());
    return {textLeft(), margin, textWidth, bounds.height()};
}

QRect CorrectFontCommandLinkButton::descriptionRect(int width) const {
    if (description().isEmpty())
        return {};
    const QRect title = titleRect(width);
    const QFontMetrics metrics(descriptionFont());
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, title.width(), 10000), Qt::TextWordWrap, description());
    return {title.left(), title.bottom() + 1 + lineSpacing, title.width(), bounds.height()};
}

int CorrectFontCommandLinkButton::heightForWidth(int width) const {
    const QRect text = description().isEmpty() ? titleRect(width) : descriptionRect(width);
    const int iconHeight = icon().isNull() ? 0 : iconSize().height() + margin;
    return std::max(text.bottom() + 1, iconHeight) + margin;
}

bool CorrectFontCommandLinkButton::hasHeightForWidth() const {
    return true;
}

QSize CorrectFontCommandLinkButton::sizeHint() const {
    const int width = textLeft() + defaultTextWidth + margin;
    return {width, heightForWidth(width)};
}

// As narrow as the title's longest word allows, but as tall as the natural width needs: a
// layout asks heightForWidth for the height at the width it gives, and a minimum height taken
// at the narrowest width would hold the window far taller than its contents.
QSize CorrectFontCommandLinkButton::minimumSizeHint() const {
    const QFontMetrics metrics(titleFont());
    int longestWord = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
    return {textLeft() + longestWord + margin, sizeHint().height()};
}

void CorrectFontCommandLinkButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    if (!icon().isNull())
        painter.drawPixmap(margin, margin, icon().pixmap(iconSize(), mode));

    const QPalette::ColorRole role = QPalette::ButtonText;
    painter.setFont(titleFont());
    painter.drawItemText(titleRect(width()), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, palette(),
                         isEnabled(), text(), role);
    if (!description().isEmpty()) {
        painter.setFont(descriptionFont());
        painter.drawItemText(descriptionRect(width()), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                             palette(), isEnabled(), description(), role);
    }
}

} // namespace qelmar::sdk::ui

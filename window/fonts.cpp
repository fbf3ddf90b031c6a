#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace window {

QString bundledFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
    }();
    return family;
}

QFont controlFont() {
    QFont font(bundledFamily(), 8);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont readingFont() {
    const QString preferred = QStringLiteral("MS Sans Serif");
    const bool hasPreferred = QFontDatabase::families().contains(preferred);
    QFont font(hasPreferred ? preferred : bundledFamily(), 24, QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace window

#include "fonts.h"

#include "form1_layout.h"

#include <QFontDatabase>
#include <QResource>
#include <QStringList>

namespace qtui {

QString bundledFamily() {
    static const QString family = [] {
        const QResource face(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
        // Stored uncompressed, the face is handed over where it lies in the
        // program: loading it by name would copy its 400 KB onto the heap.
        const int id = face.compressionAlgorithm() == QResource::NoCompression
            ? QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
                  reinterpret_cast<const char*>(face.data()), qsizetype(face.size())))
            : QFontDatabase::addApplicationFont(face.fileName());
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
    }();
    return family;
}

QFont controlFont() {
    QFont font(bundledFamily(), app::kControlPointSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString readingFamily(const QStringList& families) {
    const QString preferred = QStringLiteral("MS Sans Serif");
    return families.contains(preferred) ? preferred : bundledFamily();
}

QFont readingFont() {
    QFont font(readingFamily(QFontDatabase::families()), app::kReadingPointSize, QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace qtui

#include "report_fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QSet>

namespace report {

namespace {

// Families loaded from the program's folder.
QSet<QString>& shippedFamilies() {
    static QSet<QString> families;
    return families;
}

struct StandIn {
    const char* family;
    const char* shipped;
};
// Metric-compatible: the same advance widths, so lines break and pages fill alike.
constexpr StandIn kStandIns[] = {
    {"Times New Roman", "Liberation Serif"},
    {"Arial", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
};

}  // namespace

int loadReportFonts(const QString& folder) {
    const QStringList files = QDir(folder).entryList(
        {QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files, QDir::Name);
    int added = 0;
    for (const QString& name : files) {
        const int id = QFontDatabase::addApplicationFont(QDir(folder).filePath(name));
        if (id < 0) continue;
        for (const QString& family : QFontDatabase::applicationFontFamilies(id))
            shippedFamilies().insert(family);
        ++added;
    }
    return added;
}

QString reportFontFamily(const QString& family) {
    const QSet<QString>& shipped = shippedFamilies();
    if (shipped.isEmpty() || shipped.contains(family)) return family;
    for (const StandIn& s : kStandIns) {
        if (family.compare(QLatin1String(s.family), Qt::CaseInsensitive) == 0 &&
            shipped.contains(QLatin1String(s.shipped)))
            return QLatin1String(s.shipped);
    }
    return family;
}

}  // namespace report

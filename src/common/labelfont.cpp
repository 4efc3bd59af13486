#include "common/labelfont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>

static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace vell {

QFont LabelFont()
{
    static const QFont font = [] {
        initCoreResources();
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
        const QString family = QFontDatabase::applicationFontFamilies(id).value(0);
        QFont f(family);
        f.setPixelSize(11);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setKerning(false);
        f.setStyleStrategy(QFont::NoFontMerging);
        return f;
    }();
    return font;
}

QSize LabelSize(const QString &text)
{
    static const QFontMetricsF metrics(LabelFont());
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    return QSize(qRound(metrics.horizontalAdvance(shown)), kLabelHeight);
}

} // namespace vell

#include "main_window_look.h"

#include <QApplication>
#include <QFile>
#include <QStyle>

namespace tessane {

namespace {

QStyle::StandardPixmap StandardIconFor(const QString& bundledName) {
    static const struct {
        const char* name;
        QStyle::StandardPixmap pixmap;
    } table[] = {
        {"open", QStyle::SP_DialogOpenButton}, {"save", QStyle::SP_DialogSaveButton},
        {"save-as", QStyle::SP_DriveFDIcon},   {"text-load", QStyle::SP_FileIcon},
        {"undo", QStyle::SP_ArrowBack},        {"about", QStyle::SP_MessageBoxInformation},
    };
    for (const auto& entry : table)
        if (bundledName == QLatin1String(entry.name))
            return entry.pixmap;
    return QStyle::SP_CustomBase;
}

} // namespace

QIcon ThemeIcon(const char* themeName, const char* bundledName) {
    QIcon fallback;
    if (bundledName) {
        const QString path = QStringLiteral(":/tessane/icons/%1.png").arg(QLatin1String(bundledName));
        if (QFile::exists(path))
            fallback = QIcon(path);
        else if (const auto standard = StandardIconFor(QLatin1String(bundledName)); standard != QStyle::SP_CustomBase)
            fallback = QApplication::style()->standardIcon(standard);
    }
    return QIcon::fromTheme(QLatin1String(themeName), fallback);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        const QString path = QStringLiteral(":/tessane/icons/tessane-%1.png").arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

QFont WindowFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), base.family()});
    font.setPointSize(9);
    return font;
}

QFont MemoFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    return font;
}

} // namespace tessane

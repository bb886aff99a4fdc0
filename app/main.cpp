// The editor's entry: the application, the plug-in UI handler, the main window.
#include <exception>

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "main_window_look.h"
#include "qt_ui_handler.h"
#include "tessane_data.h"
#include "tessane_main.h"

namespace {

// The one host object; it outlives the window and releases the plug-ins last.
CTessane TessaneHost;

// The program's directory, where the plug-ins, "tessane.ini" and
// "template.txt" lie.
QString ProgramDirectory() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

// The editor speaks Japanese: Qt's own buttons and dialogs (Yes/No, the file
// dialogs) should too. Without the translation they stay in English.
void LoadQtTranslation(QTranslator& translator) {
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
}

void ReportFatal(const char* what) {
    QMessageBox::critical(nullptr, QStringLiteral("Tessane"), QString::fromLocal8Bit(what));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessane"));
    QApplication::setDesktopFileName(QStringLiteral("tessane"));
    QApplication::setFont(tessane::WindowFont(QApplication::font())); // message boxes and dialogs too
    QTranslator qtTranslation;
    LoadQtTranslation(qtTranslation);
    try {
        InstallQtUiHandler();
        TTessaneForm TessaneForm(TessaneHost, ProgramDirectory(), QApplication::arguments().mid(1));
        TessaneForm.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        ReportFatal(error.what());
    } catch (...) {
        ReportFatal("Unexpected error");
    }
    return 0;
}

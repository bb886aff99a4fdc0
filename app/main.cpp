// The editor's entry: the application, the plug-in UI handler, the main window.
#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "qt_ui_handler.h"
#include "tessane_data.h"
#include "tessane_main.h"

namespace {

// The one host object; it outlives the window and releases the plug-ins last.
CTessane TessaneHost;

// The program's directory, where the plug-ins, "tessane.ini" and
// "template.txt" lie.
QString ProgramDirectory() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

void ReportFatal(const char* what) {
    QMessageBox::critical(nullptr, QStringLiteral("Tessane"), QString::fromLocal8Bit(what));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessane"));
    QApplication::setDesktopFileName(QStringLiteral("tessane"));
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

// Vorticel: explore and render strange attractors.
#include "app/main_frame.h"
#include "app/qt_texts.h"
#include "app/text.h"
#include "io/temporary_files.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <exception>

int main(int argc, char** argv) {
    // A save over the file size limit (ulimit -f) fails with its message instead of killing
    // the program with the user's work.
    vorticel::ReportFileSizeLimitAsWriteError();
    QApplication application(argc, argv);
    QApplication::setApplicationName(vorticel::Text(vorticel::kStrAppTitle));
    QTranslator qtTexts;
    vorticel::InstallFrenchQtTexts(qtTexts);
    try {
        vorticel::MainFrame frame;
        frame.showMaximized();
        // "vorticel FILE..." opens each file in a view of its own (a desktop entry passes them),
        // once the loop runs: the frame is then shown as a plain start shows it.
        QTimer::singleShot(0, &frame, [&frame] {
            for (const QString& file : QApplication::arguments().mid(1)) {
                frame.OpenInNewView(file);
            }
        });
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, vorticel::Text(vorticel::kStrAppTitle),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

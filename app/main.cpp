// Vorticel: explore and render strange attractors.
#include "app/main_frame.h"
#include "app/text.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(vorticel::Text(vorticel::kStrAppTitle));
    try {
        vorticel::TMDIform frame;
        frame.showMaximized();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, vorticel::Text(vorticel::kStrAppTitle),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

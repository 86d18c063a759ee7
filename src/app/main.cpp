#include <QApplication>
#include <QIcon>
#include <memory>
#include <optional>

#include "app/error_box.h"
#include "app/german_translations.h"
#include "app/registration_switch.h"
#include "core/errors.h"
#include "core/floating_point.h"
#include "stats/grade_statistics.h"
#include "ui/tform1.h"

// The exit code is 0 on every path.
int main(int argc, char* argv[]) {
    if (noten::hasRegistrationSwitch(argc, argv)) {
        return 0;
    }

    // Before anything computes; a failure can be shown only once the application exists.
    std::optional<QString> startError;
    try {
        noten::setupFloatingPointEnvironment();
    } catch (const noten::Exception& error) {
        startError = QString::fromStdString(error.message());
    }

    QApplication application(argc, argv);
    noten::installGermanTranslations(application);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/buildings.svg")));
    if (startError) {
        noten::showErrorBox(*startError);
        return 0;
    }

    noten::GradeStatistics statistics;
    std::unique_ptr<noten::TForm1> form;
    try {
        form = std::make_unique<noten::TForm1>(statistics);
    } catch (const noten::Exception& error) {
        noten::showErrorBox(error);
        return 0;
    } catch (const std::exception& error) {
        noten::showErrorBox(QString::fromLocal8Bit(error.what()));
        return 0;
    }
    form->show();
    QApplication::exec();
    return 0;
}

#pragma once

// What the main window shows, read the way the command GUI tests compare it, and the checks
// they share on a finished script.

#include <QLabel>
#include <QStringList>
#include <QtTest>

#include "chart/distribution_chart.h"
#include "modal_script.h"

namespace testing_gui {

// The text of the result field `name` ("Label4" to "Label6").
inline QString fieldText(const QWidget& form, const char* name) {
    auto* field = form.findChild<QLabel*>(QLatin1String(name));
    return field ? field->text() : QStringLiteral("<kein %1>").arg(name);
}

// The six bars as "c1 c2 c3 c4 c5 c6".
inline QString barsText(const QWidget& form) {
    auto* chart = form.findChild<noten::DistributionChart*>(QStringLiteral("VCF"));
    if (chart == nullptr) {
        return QStringLiteral("<kein VCF>");
    }
    QStringList values;
    for (int column = 1; column <= 6; ++column) {
        values << QString::number(chart->value(column));
    }
    return values.join(QLatin1Char(' '));
}

// Every step used, every window expected, and every dialog the command's own, opened empty.
inline void verifyScript(const ModalScript& script, const QString& caption, const QString& prompt) {
    QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join("; ")));
    QCOMPARE(script.stepsLeft(), std::size_t{0});
    for (const ModalScript::Seen& seen : script.seen()) {
        if (seen.kind == ModalScript::Kind::InputDialog) {
            QCOMPARE(seen.title, caption);
            QCOMPARE(seen.text, prompt);
            QCOMPARE(seen.editText, QString());
        }
    }
}

inline void verifyResults(const QWidget& form, const QString& mean, const QString& deviation,
                          const QString& count, const QString& expectedBars) {
    QCOMPARE(fieldText(form, "Label4"), mean);
    QCOMPARE(fieldText(form, "Label5"), deviation);
    QCOMPARE(fieldText(form, "Label6"), count);
    QCOMPARE(barsText(form), expectedBars);
}

}  // namespace testing_gui

#pragma once

#include <QProxyStyle>

namespace noten {

// Tooltip timing of the main window: a tooltip wakes 500 ms after the pointer has come to
// rest on a control, or after 50 ms while another tooltip is still on screen.
class TooltipStyle : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr int kWakeUpDelay = 500;
    static constexpr int kWakeUpDelayFromTooltip = 50;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace noten

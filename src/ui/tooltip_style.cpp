#include "ui/tooltip_style.h"

#include <QToolTip>

namespace noten {

int TooltipStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    switch (hint) {
        case SH_ToolTip_WakeUpDelay:
            return QToolTip::isVisible() ? kWakeUpDelayFromTooltip : kWakeUpDelay;
        case SH_ToolTip_FallAsleepDelay:
            // Qt would otherwise wake the next tooltip after 20 ms for two seconds after any
            // tooltip; the short delay applies only while a tooltip is visible.
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

}  // namespace noten

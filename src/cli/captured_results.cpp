#include "cli/captured_results.h"

#include "core/errors.h"

namespace noten {

namespace {

std::size_t columnIndex(int column) {
    if (column < 1 || column > 6) {
        throw EChartError("Diagrammspalte " + std::to_string(column) + " gibt es nicht");
    }
    return static_cast<std::size_t>(column - 1);
}

}  // namespace

void CapturedResults::setChartPoint(int column, const std::string& text) {
    columns_[columnIndex(column)] = text;
}

const std::string& CapturedResults::column(int column) const {
    return columns_[columnIndex(column)];
}

}  // namespace noten

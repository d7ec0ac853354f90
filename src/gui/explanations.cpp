#include "gui/explanations.h"

QString MessageExplanation(const QString& /*message*/) {
    return {};
}

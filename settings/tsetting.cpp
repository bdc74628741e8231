#include "settings/tsetting.h"

namespace orba {

TSetting::TSetting(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ORBA KARAOKE"));
    setFixedSize(442, 392);
}

}  // namespace orba

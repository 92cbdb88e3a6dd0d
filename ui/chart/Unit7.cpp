#include "ui/chart/Unit7.h"

TForm7* Form7 = nullptr;

TForm7::TForm7() {
    setupUi(this);
    applyDesignedGeometry();
}

#include "ui/main/Unit9.h"

TForm9* Form9 = nullptr;

TForm9::TForm9() {
    setupUi(this);
    applyDesignedGeometry();
}

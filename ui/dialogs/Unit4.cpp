#include "ui/dialogs/Unit4.h"

TForm4* Form4 = nullptr;

TForm4::TForm4() {
    setupUi(this);
    applyDesignedGeometry();
}

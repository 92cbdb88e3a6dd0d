#include "ui/dialogs/Unit6.h"

TForm6* Form6 = nullptr;

TForm6::TForm6() {
    setupUi(this);
    applyDesignedGeometry();
}

#include "app/Unit1.h"

TForm1* Form1 = nullptr;

TForm1::TForm1() {
    setupUi(this);
    applyDesignedGeometry();
}

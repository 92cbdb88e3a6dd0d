#include "ui/main/Unit8.h"

TForm8* Form8 = nullptr;

TForm8::TForm8() {
    setupUi(this);
    applyDesignedGeometry();
}

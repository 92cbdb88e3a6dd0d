#include "data/values/Variant.h"

bool Variant::operator==(const Variant& other) const {
    if (type_ != other.type_)
        return false;
    switch (type_) {
    case VarType::Null:
        return true;
    case VarType::Float:
        return float_ == other.float_;
    case VarType::Text:
        return text_ == other.text_;
    default:
        return int_ == other.int_;
    }
}

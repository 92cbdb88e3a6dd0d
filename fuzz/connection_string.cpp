// Connection strings are fixed at build time, but they are outside input to
// the data layer all the same: any byte string must give pairs or the
// provider's own error, never a crash.
#include "data/connection/Provider.h"
#include "data/values/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zemt::data::ConnectionString cs(text);
    for (const char* key : {"Provider", "Data Source", "Initial Catalog", "Port", "User ID",
                            "Password", "Integrated Security", "Persist Security Info"}) {
        if (cs.has(key))
            (void)cs.value(key);
    }
    // Choosing the provider reads the pairs too; constructing one connects to nothing.
    try {
        zemt::data::makeProvider(text);
    } catch (const EADOError&) {
    }
    return 0;
}

#pragma once
// Marks the destruction of data-layer components, so that what a closing
// master would normally do to its details (settle a pending row, which may
// write and fail) becomes what process end does: drop it.

namespace zemt::data {

/// Held by a destructor that tells data links a data set is going away.
/// While one is alive, a detail that loses its master drops its pending row
/// as Close drops it: a destructor never writes to the database and never throws.
class Teardown {
public:
    Teardown() { ++depth_; }
    ~Teardown() { --depth_; }
    Teardown(const Teardown&) = delete;
    Teardown& operator=(const Teardown&) = delete;

    static bool underWay() { return depth_ > 0; }

private:
    // Every data-layer call runs on the user-interface thread.
    static inline int depth_ = 0;
};

} // namespace zemt::data

// The last few seconds of operating points, so that a mixture reading can be credited to
// the point the engine was at when it burned that mixture.
#pragma once

#include <array>
#include <cstddef>

namespace veltrano {

// One record as the precise mode remembers it.
struct PointRecord {
    double t = 0;  // seconds
    double rpm = 0;
    double kpa = 0;
    int c = 0;  // RPM_RT
    int r = 0;  // LoadIndex
    double rpmFrac = 0;
    double loadFrac = 0;
    // How far off the point may be, in cells each way: the live data's resolution.
    double rpmBlur = 0;
    double loadBlur = 0;
    double targetAfr = 0;
    bool admitted = false;   // the cycle's gates let this record learn
    bool transient = false;  // fuel cut or transient enrichment
};

class RecordRing {
  public:
    static constexpr std::size_t kCapacity = 256;  // several seconds at any poll rate

    void Push(const PointRecord& record) {
        records_[next_] = record;
        next_ = (next_ + 1) % kCapacity;
        if (size_ < kCapacity)
            ++size_;
    }
    void Clear() { size_ = 0; }
    std::size_t Size() const { return size_; }

    // The latest record taken at or before `t`; null when the ring does not reach back
    // that far.
    const PointRecord* At(double t) const {
        for (std::size_t k = 1; k <= size_; ++k) {
            const PointRecord& p = records_[(next_ + kCapacity - k) % kCapacity];
            if (p.t <= t)
                return &p;
        }
        return nullptr;
    }

  private:
    std::array<PointRecord, kCapacity> records_{};
    std::size_t next_ = 0;
    std::size_t size_ = 0;
};

}  // namespace veltrano

#include "grid/features/GXPoolRecords.h"

#include "framework/persist/Archive.h"
#include "grid/features/CGXSpanCellPools.h"

namespace {

// The archive sees a pool through a record object: one that wraps the pool being stored, or
// one made by its run-time class that owns the pool being loaded.
template <class Pool>
class PoolRecord : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    PoolRecord() : owned_(std::make_unique<Pool>()), pool_(owned_.get()) {}
    explicit PoolRecord(Pool& pool) : pool_(&pool) {}
    void Serialize(fw::Archive& ar) override;
    std::unique_ptr<Pool> Take() { return std::move(owned_); }

private:
    std::unique_ptr<Pool> owned_;
    Pool* pool_;
};

template <>
const fw::RuntimeClass PoolRecord<CGXSpanCellPool>::kClass{
    "CGXSpanCellPool", 1, &fw::Serializable::kClass,
    fw::CreateInstance<PoolRecord<CGXSpanCellPool>>, false};
template <>
const fw::RuntimeClass PoolRecord<CGXDelayedRangePool>::kClass{
    "CGXDelayedRangePool", 1, &fw::Serializable::kClass,
    fw::CreateInstance<PoolRecord<CGXDelayedRangePool>>, false};

template <>
void PoolRecord<CGXSpanCellPool>::Serialize(fw::Archive& ar) {
    pool_->Serialize(ar);
}

template <>
void PoolRecord<CGXDelayedRangePool>::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(pool_->m_entries.size());
        for (const CGXDelayedRange& e : pool_->m_entries) {
            e.range.StoreToArchive(ar);
            ar.WriteDWordArray(e.starts);
            ar.WriteDWordArray(e.ends);
            ar << static_cast<std::uint8_t>(e.free ? 1 : 0);
        }
        return;
    }
    // Each entry takes its range, two counts and the flag.
    const std::size_t n = ar.ReadCount(CGXRange::kArchiveSize + 2 + 2 + 1);
    pool_->m_entries.clear();
    for (std::size_t i = 0; i < n; ++i) {
        CGXDelayedRange e;
        e.range.LoadFromArchive(ar);
        e.starts = ar.ReadDWordArray();
        e.ends = ar.ReadDWordArray();
        std::uint8_t free = 0;
        ar >> free;
        e.free = free != 0;
        pool_->m_entries.push_back(std::move(e));
    }
}

template <class Pool>
void ArchivePoolAs(fw::Archive& ar, std::unique_ptr<CGXOwnedObject>& slot) {
    if (ar.IsStoring()) {
        auto* pool = dynamic_cast<Pool*>(slot.get());
        if (!pool) {
            ar.WriteObject(nullptr);
            return;
        }
        PoolRecord<Pool> record(*pool);
        ar.WriteObject(&record);
        return;
    }
    std::unique_ptr<PoolRecord<Pool>> record = ar.ReadObjectAs<PoolRecord<Pool>>();
    slot = record ? record->Take() : nullptr;
}

}  // namespace

void GXArchivePool(fw::Archive& ar, std::unique_ptr<CGXOwnedObject>& slot, GXPoolKind kind) {
    if (kind == GXPoolKind::SpanCell)
        ArchivePoolAs<CGXSpanCellPool>(ar, slot);
    else
        ArchivePoolAs<CGXDelayedRangePool>(ar, slot);
}

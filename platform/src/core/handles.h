// Handle tables of the platform layer: every handle kind maps to its object through one of
// these. A handle packs a kind tag, a generation and a slot index, so a stale handle (its slot
// reused) or a handle of another kind is refused instead of reaching a wrong object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace plat {

// One lock guards the window tree and the handle tables. It is recursive because the layer's
// own code nests calls; it is never held while the layer calls into program code.
std::recursive_mutex& GlobalLock();
using Guard = std::lock_guard<std::recursive_mutex>;

enum class HandleKind : uint8_t {
    Window = 1,
    DC,
    Bitmap,
    Brush,
    Pen,
    Font,
    Region,
    Palette,
    Menu,
    Icon,
    Hook,
    Accel,
    Monitor,
    Event,
    Thread,
    Module,
    ImageList,
    Resource,
    Other,
};

// Layout of a handle value: bits 56..63 kind, 32..55 generation (never 0), 0..31 slot.
inline uint64_t PackHandle(HandleKind kind, uint32_t generation, uint32_t slot) {
    return (uint64_t(kind) << 56) | (uint64_t(generation & 0xFFFFFF) << 32) | slot;
}
inline HandleKind KindOfHandle(const void* h) {
    return HandleKind(uint64_t(reinterpret_cast<uintptr_t>(h)) >> 56);
}

// A table of shared objects of one kind. Lookups return a shared_ptr so that an object stays
// alive while a caller uses it outside the lock, even if its handle is freed meanwhile.
template <typename T>
class HandleTable {
public:
    explicit HandleTable(HandleKind kind) : kind_(kind) {}

    template <typename H>
    H Add(std::shared_ptr<T> obj) {
        Guard g(GlobalLock());
        uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            slot = uint32_t(slots_.size());
            slots_.push_back({});
        }
        Slot& s = slots_[slot];
        s.generation = (s.generation + 1) & 0xFFFFFF;
        if (s.generation == 0) s.generation = 1;
        s.obj = std::move(obj);
        return reinterpret_cast<H>(uintptr_t(PackHandle(kind_, s.generation, slot)));
    }

    std::shared_ptr<T> Get(const void* h) const {
        Guard g(GlobalLock());
        const Slot* s = Find(h);
        return s ? s->obj : nullptr;
    }

    // Raw pointer lookup for callers already holding the lock.
    T* GetRaw(const void* h) const {
        Guard g(GlobalLock());
        const Slot* s = Find(h);
        return s ? s->obj.get() : nullptr;
    }

    bool Valid(const void* h) const { return GetRaw(h) != nullptr; }

    // Frees the handle; the object lives on while shared_ptr copies exist. A slot's generation
    // is bumped on reuse, so the freed value never names anything again.
    std::shared_ptr<T> Remove(const void* h) {
        Guard g(GlobalLock());
        Slot* s = const_cast<Slot*>(Find(h));
        if (!s) return nullptr;
        std::shared_ptr<T> obj = std::move(s->obj);
        s->obj.reset();
        free_.insert(free_.begin(), uint32_t(s - slots_.data()));  // reuse oldest slots last
        return obj;
    }

    template <typename F>
    void ForEach(F&& f) const {
        Guard g(GlobalLock());
        for (const Slot& s : slots_)
            if (s.obj) f(s.obj);
    }

    size_t Count() const {
        Guard g(GlobalLock());
        size_t n = 0;
        for (const Slot& s : slots_) n += s.obj ? 1 : 0;
        return n;
    }

private:
    struct Slot {
        uint32_t generation = 0;
        std::shared_ptr<T> obj;
    };
    const Slot* Find(const void* h) const {
        uint64_t v = uint64_t(reinterpret_cast<uintptr_t>(h));
        if (HandleKind(v >> 56) != kind_) return nullptr;
        uint32_t slot = uint32_t(v & 0xFFFFFFFF);
        uint32_t gen = uint32_t((v >> 32) & 0xFFFFFF);
        if (slot >= slots_.size()) return nullptr;
        const Slot& s = slots_[slot];
        if (!s.obj || s.generation != gen) return nullptr;
        return &s;
    }

    HandleKind kind_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
};

// The preamble of a function on a handle: holds the global lock for the caller's scope and
// looks the handle up; null (false) for a stale handle or one of another kind.
template <typename T>
class Locked {
public:
    Locked(const HandleTable<T>& table, const void* h) : guard_(GlobalLock()), obj_(table.GetRaw(h)) {}
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    T* get() const { return obj_; }
    operator T*() const { return obj_; }
    T* operator->() const { return obj_; }

private:
    Guard guard_;
    T* obj_;
};

}  // namespace plat

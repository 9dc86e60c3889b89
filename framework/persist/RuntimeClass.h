// Run-time classes: a name, a schema number and a base for every class whose objects go into
// archives, and a process-wide registry that creates an object from its class name.
//
//   class Shape : public fw::Serializable {
//   public:
//       static const fw::RuntimeClass kClass;  // defined in Shape.cpp:
//       // const fw::RuntimeClass Shape::kClass{"Shape", 1, &fw::Serializable::kClass,
//       //                                      fw::CreateInstance<Shape>};
//       const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }
//       void Serialize(fw::Archive& ar) override;
//   };
//
// A RuntimeClass registers itself when it is constructed (static initialisation), so an
// archive can create any registered class by the name it finds.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace fw {

class Archive;
class Serializable;
struct RuntimeClass;

using CreateFunction = std::unique_ptr<Serializable> (*)();

template <class T>
std::unique_ptr<Serializable> CreateInstance() {
    return std::make_unique<T>();
}

struct RuntimeClass {
    // `versionable`: objects stored with an older schema are loaded (the object reads the
    // stored schema from the archive); otherwise the stored schema must equal `schema`.
    RuntimeClass(std::string_view name, std::uint16_t schema, const RuntimeClass* base,
                 CreateFunction create, bool versionable = true);
    ~RuntimeClass();
    RuntimeClass(const RuntimeClass&) = delete;
    RuntimeClass& operator=(const RuntimeClass&) = delete;

    std::string_view name;
    std::uint16_t schema;
    const RuntimeClass* base;
    CreateFunction create;  // null for abstract classes
    bool versionable;

    bool IsDerivedFrom(const RuntimeClass& other) const;
    std::unique_ptr<Serializable> CreateObject() const;
    // The registered class of a name, or null.
    static const RuntimeClass* FromName(std::string_view name);
};

// Base of every object an archive can store by reference.
class Serializable {
public:
    static const RuntimeClass kClass;
    virtual ~Serializable() = default;
    virtual const RuntimeClass& GetRuntimeClass() const = 0;
    virtual void Serialize(Archive& ar) = 0;
    bool IsKindOf(const RuntimeClass& c) const { return GetRuntimeClass().IsDerivedFrom(c); }
};

}  // namespace fw

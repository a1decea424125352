// Per-class table of published members: the properties (getter, optional setter) and methods a
// model class makes reachable by name through the dispatch interface. Each class builds its table
// once, naming its ancestor's table; lookups ignore ASCII case and search the class first, then its
// ancestors.
//
//   const dispatch::TPublishedMembers& TMimeHeader::Published() {
//     static const auto members =
//         dispatch::TPublishedMembers::For<TMimeHeader>(&dispatch::TDispatchBase::Published())
//             .Property("Subject", [](TMimeHeader& h) { return h.Subject(); },
//                       [](TMimeHeader& h, const dispatch::TVariant& v) {
//                       h.SetSubject(v.ToString()); })
//             .Property("Body", [](TMimeHeader& h) { return h.BodyObject(); })  // object: T*
//             .Method("Crc32", [](TMimeHeader& h, const dispatch::TVariant& args) { return h.Crc();
//             }) .Build();
//     return members;
//   }
//   const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
#pragma once

#include <concepts>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "support/dispatch/variant.h"

namespace dispatch {

class TDispatchBase;

class TPublishedMembers {
 public:
  using Getter = std::function<TVariant(TDispatchBase&)>;
  using Setter = std::function<void(TDispatchBase&, const TVariant&)>;
  // A published method takes the object, the packed arguments and a result slot.
  using Caller = std::function<void(TDispatchBase&, const TVariant& args, TVariant& result)>;

  struct Property {
    std::string name;
    Getter get;
    Setter set;  // empty for a read-only property
  };
  struct Method {
    std::string name;
    Caller call;
  };

  template <class T>
  class Builder;

  // Starts the table of class T, whose ancestor's table is `ancestor` (null for a root).
  template <class T>
  static Builder<T> For(const TPublishedMembers* ancestor) {
    static_assert(std::is_base_of_v<TDispatchBase, T>,
                  "published classes derive from TDispatchBase");
    return Builder<T>(ancestor);
  }

  explicit TPublishedMembers(const TPublishedMembers* ancestor = nullptr) : ancestor_(ancestor) {}

  // The member of that name in this class or the nearest ancestor; null when none has it.
  const Property* FindProperty(std::string_view name) const;
  const Method* FindMethod(std::string_view name) const;

  const TPublishedMembers* Ancestor() const { return ancestor_; }
  const std::vector<Property>& Properties() const { return properties_; }
  const std::vector<Method>& Methods() const { return methods_; }

  void AddProperty(Property property) { properties_.push_back(std::move(property)); }
  void AddMethod(Method method) { methods_.push_back(std::move(method)); }

 private:
  const TPublishedMembers* ancestor_;
  std::vector<Property> properties_;
  std::vector<Method> methods_;
};

// Adapts typed lambdas (taking T&) to the table's untyped callables.
template <class T>
class TPublishedMembers::Builder {
 public:
  explicit Builder(const TPublishedMembers* ancestor) : members_(ancestor) {}

  // get: T& -> anything a TVariant is built from (text, numbers, bool, TVariant, or a pointer to a
  // child object, which reads as its dispatch interface; a null child reads as no such member).
  template <class Get>
  Builder& Property(std::string name, Get get) {
    members_.AddProperty({std::move(name), WrapGetter(std::move(get)), {}});
    return *this;
  }
  // set: (T&, const TVariant&) -> void; converting the value is the setter's business.
  template <class Get, class Set>
  Builder& Property(std::string name, Get get, Set set) {
    members_.AddProperty({std::move(name), WrapGetter(std::move(get)),
                          [set = std::move(set)](TDispatchBase& object, const TVariant& value) {
                            set(static_cast<T&>(object), value);
                          }});
    return *this;
  }
  // call: (T&, const TVariant& args, TVariant& result) -> void, or (T&, const TVariant& args) -> a
  // value that becomes the result. args is empty, the one argument, or an array of all of them.
  template <class Call>
  Builder& Method(std::string name, Call call) {
    members_.AddMethod({std::move(name), WrapCaller(std::move(call))});
    return *this;
  }

  // Hands over the finished table (the builder is spent).
  TPublishedMembers Build() { return std::move(members_); }

 private:
  template <class Get>
  static Getter WrapGetter(Get get) {
    return [get = std::move(get)](TDispatchBase& object) {
      return TVariant(get(static_cast<T&>(object)));
    };
  }
  template <class Call>
  static Caller WrapCaller(Call call) {
    if constexpr (std::is_invocable_v<Call&, T&, const TVariant&, TVariant&>) {
      return
          [call = std::move(call)](TDispatchBase& object, const TVariant& args, TVariant& result) {
            call(static_cast<T&>(object), args, result);
          };
    } else {
      return
          [call = std::move(call)](TDispatchBase& object, const TVariant& args, TVariant& result) {
            result = TVariant(call(static_cast<T&>(object), args));
          };
    }
  }

  TPublishedMembers members_;
};

}  // namespace dispatch

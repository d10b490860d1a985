// A fake host object: a name, one reference count and the interface facets
// it answers to.
//
// Every facet implements one host interface and forwards the three IUnknown
// operations to its object, so all facets share one reference count and a
// query on any facet sees every other (COM identity). Objects belong to the
// Host and live as long as it does, so an over-release is counted, not a crash.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "fake_host/journal_format.h"
#include "host/unknown.h"

namespace fakehost {

class Host;
class Object;

// The part of a facet that does not depend on its interface.
class Facet {
 public:
  Facet(const Facet&) = delete;
  Facet& operator=(const Facet&) = delete;
  virtual ~Facet() = default;

  Object& Owner() const { return *owner_; }
  Host& TheHost() const;
  // Null when the interface declares no identifier of its own.
  virtual const nsID* Iid() const = 0;
  // The interface pointer itself, as handed out to the library.
  virtual void* Interface() = 0;
  virtual IUnknown* Unknown() = 0;

 protected:
  explicit Facet(const char* interfaceName) : interfaceName_(interfaceName) {}

  // `<object>.<Interface>.<op>(<args>)`.
  template <class... Args>
  std::string Line(const char* op, const Args&... args) const;
  // Journals the call and applies any injected fault; see Run. `slots`
  // describes the out slots as they came in (SlotState).
  HRESULT Record(std::string line, std::string slots = {}) const;
  Object* ObjectOf(const IUnknown* pointer) const;
  // A new host string; E_OUTOFMEMORY when the allocation fails.
  HRESULT GiveText(BSTR* slot, CfxWStringView text) const;
  // A scripted object lacks the facet an operation must hand out: the test is wrong.
  HRESULT MissingFacet(const Object& object) const;

 private:
  template <class T>
  std::string Show(const T& value) const;
  std::string Describe(const IUnknown* pointer) const;

  friend class Object;
  template <class I>
  friend class FacetOf;
  const char* interfaceName_;
  Object* owner_ = nullptr;
};

class Object {
 public:
  Object(Host& host, std::string name) : host_(host), name_(std::move(name)) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  const std::string& Name() const { return name_; }
  int Refs() const { return refs_; }
  Host& TheHost() const { return host_; }

  // References the test holds; Host::Balanced expects Refs() to equal it.
  int held = 1;
  // Opt-in: the release that brings the references back down to `held` is
  // journaled as `<name>.Release()`, so a test can see where in the call
  // order the library let go of the object. It counts as a host call (for
  // FailCall and CallCount); an injected status on it is ignored.
  bool journalFinalRelease = false;
  // Opt-in: every release is journaled as `<name>.<Interface>.Release()`,
  // naming the interface it came through, so a test can see when the
  // library let go of one of its references while it still holds another
  // (a location and its file view are facets of one object). Counted like
  // journalFinalRelease.
  bool journalReleases = false;

  // Adds the facet F (one per interface).
  template <class F>
  F& Add() {
    auto facet = std::make_unique<F>();
    facet->owner_ = this;
    F& added = *facet;
    facets_.push_back(std::move(facet));
    Index(added);
    return added;
  }

  // The facet F for scripting; a missing one is a mistake in the test.
  template <class F>
  F& Get() const {
    for (const auto& facet : facets_) {
      if (auto* found = dynamic_cast<F*>(facet.get())) return *found;
    }
    throw std::logic_error("fake object " + name_ + " has no such facet");
  }

  // The interface I, or null when no facet implements it.
  template <class I>
  I* Find() const {
    if constexpr (std::is_same_v<I, IUnknown>) {
      return facets_.empty() ? nullptr : facets_.front()->Unknown();
    } else {
      for (const auto& facet : facets_) {
        if (auto* found = dynamic_cast<I*>(facet.get())) return found;
      }
      return nullptr;
    }
  }

  // The pointer to hand to the library, without a new reference.
  template <class I>
  I* As() const {
    I* found = Find<I>();
    if (!found) ADD_FAILURE() << "fake object " << name_ << " has no facet for the interface asked";
    return found;
  }

  // The facet whose interface has `iid` (IUnknown: the first), or null.
  void* FacetFor(const nsID& iid) const;

  HRESULT Query(const nsID& iid, void** out);
  std::uint32_t AddRef() { return static_cast<std::uint32_t>(++refs_); }
  // `via` is the interface the release came through.
  std::uint32_t Release(const char* via) {
    --refs_;
    if (journalReleases) JournalRelease(std::string(via) + ".Release()");
    if (journalFinalRelease && refs_ == held) JournalRelease("Release()");
    return static_cast<std::uint32_t>(refs_);
  }

 private:
  void JournalRelease(const std::string& what);
  void Index(Facet& facet);

  Host& host_;
  std::string name_;
  int refs_ = 1;
  std::vector<std::unique_ptr<Facet>> facets_;
};

template <class... Args>
std::string Facet::Line(const char* op, const Args&... args) const {
  std::string line = owner_->Name() + "." + interfaceName_ + "." + op + "(";
  const std::string shown[] = {Show(args)..., ""};  // the empty one lets an operation have no arguments
  for (std::size_t i = 0; i < sizeof...(Args); ++i) line += (i ? ", " : "") + shown[i];
  return line + ")";
}

template <class T>
std::string Facet::Show(const T& value) const {
  if constexpr (std::is_convertible_v<T, const IUnknown*>) {
    return Describe(value);
  } else {
    return Arg(value);
  }
}

}  // namespace fakehost

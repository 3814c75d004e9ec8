// A host collection over a list the owner keeps: items in list order, names matched without
// regard to case, as the IDE matches them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"
#include "host/memory/module_scan.h"

namespace marquill::host {

template <class T, class Stored = T>
class ListCollection final : public Collection<T> {
 public:
  using NameOf = std::string (*)(const T&);

  // `what` names an item in messages ("component", "window").
  ListCollection(const std::vector<Stored*>& items, NameOf name_of, std::string what)
      : items_(items), name_of_(name_of), what_(std::move(what)) {}

  int Count() const override { return static_cast<int>(items_.size()); }

  T& Item(int index) override {
    if (index < 1 || index > Count()) {
      throw HostError("no " + what_ + " " + std::to_string(index) + " among " +
                      std::to_string(Count()));
    }
    return *items_[static_cast<std::size_t>(index - 1)];
  }

  T& Item(std::string_view name) override {
    T* found = Find(name);
    if (found == nullptr) throw HostError("no " + what_ + " named " + std::string(name));
    return *found;
  }

  T* Find(std::string_view name) const {
    for (Stored* item : items_) {
      if (EqualsNoCase(name_of_(*item), name)) return item;
    }
    return nullptr;
  }

 private:
  const std::vector<Stored*>& items_;
  NameOf name_of_;
  std::string what_;
};

}  // namespace marquill::host

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fbc {

// The fixed catalogue of magnetic cores: parallel columns of 1000 positions, positions 1..18
// holding the cores, position 19 the end mark "END" with zero figures, every other position
// an empty name with zero figures. Position 0 is never used.
class CoreCatalogue {
 public:
  static constexpr int kCapacity = 1000;

  // Fills positions 1 to 19 (the start-up fill).
  CoreCatalogue();

  const std::u16string& name(int position) const {
    return name_.at(static_cast<std::size_t>(position));
  }
  float ae(int position) const { return ae_.at(static_cast<std::size_t>(position)); }  // m²
  float aw(int position) const { return aw_.at(static_cast<std::size_t>(position)); }  // mm²
  float fill(int position) const {
    return fill_.at(static_cast<std::size_t>(position));
  }  // percent

  // The names for the core list: positions 1 to 99 up to the first "END" (18 names).
  std::vector<std::u16string> listNames() const;

  // Lookup by name: the first position 1..999 whose name equals `text` exactly (an empty
  // text equals the empty names from position 20 on), or nothing.
  std::optional<int> find(std::u16string_view text) const;

  // Whether the position holds a core the calculation can use (the end mark and the empty
  // positions carry zero figures).
  bool hasFigures(int position) const { return ae(position) != 0.0F; }

 private:
  std::vector<std::u16string> name_;
  std::vector<float> ae_;
  std::vector<float> aw_;
  std::vector<float> fill_;
};

}  // namespace fbc

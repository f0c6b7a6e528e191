#pragma once
// The browsing subsystems by name, for headers that hold references to them
// without needing their definitions.

namespace browse {
class Categories;
class FeaturePages;
class SideTabs;
class SlotBehaviour;
class Topics;
} // namespace browse

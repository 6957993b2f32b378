#include "dialog_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace creosim {

namespace {

// In pixels, close to what Creo's dialogs use on Windows at 100 % scale.
constexpr double kTitleBarHeight = 30;
constexpr double kCloseControlWidth = 36;
constexpr double kTitlePadding = 12;
constexpr double kMargin = 16;
constexpr double kRowGap = 8;
constexpr double kCellGap = 10;
constexpr double kImageTextGap = 8;
constexpr double kButtonPaddingX = 16;
constexpr double kButtonPaddingY = 6;
constexpr double kButtonMinWidth = 80;
constexpr double kButtonMinHeight = 28;
constexpr double kMenuPadding = 8;
constexpr double kMenuArrowWidth = 22;
constexpr double kMenuMinWidth = 160;
constexpr double kMinDialogWidth = 320;

// A place in a row: a shown component, or the gap a hidden layout keeps.
struct Cell {
  const ComponentContent* content;
  bool gap;
};
using Rows = std::vector<std::vector<Cell>>;

bool isGrid(const Rows& rows) {
  if (rows.empty() || rows[0].size() < 2) return false;
  return std::all_of(rows.begin(), rows.end(), [&](const auto& row) { return row.size() == rows[0].size(); });
}

bool onlyButtons(const std::vector<Cell>& row) {
  return std::all_of(row.begin(), row.end(), [](const Cell& cell) {
    return !cell.gap && cell.content->kind == ComponentKind::PushButton;
  });
}

// Whole pixels, so that text and lines stay sharp.
double half(double length) { return std::floor(length / 2); }

Box centredIn(const Box& area, Size size) {
  return {area.x + half(area.width - size.width), area.y + half(area.height - size.height), size.width, size.height};
}

class Layouter {
 public:
  Layouter(const DialogView& view, const PictureMetrics& metrics) : view_(view), metrics_(metrics) {}

  DialogLayout run() {
    DialogLayout layout;
    layout.dialog = view_.dialog;
    layout.title = view_.title;
    const Size title = metrics_.textSize(view_.title);
    const Size content = measureRows("");
    const double width = std::max({kMinDialogWidth, content.width + 2 * kMargin,
                                   kTitlePadding + title.width + kTitlePadding + kCloseControlWidth});
    layout.size = {width, kTitleBarHeight + kMargin + content.height + kMargin};
    layout.titleBar = {0, 0, width, kTitleBarHeight};
    layout.titleText = {kTitlePadding, half(kTitleBarHeight - title.height), title.width, title.height};
    layout.closeControl = {width - kCloseControlWidth, 0, kCloseControlWidth, kTitleBarHeight};
    placed_ = &layout.components;
    placeRows("", kMargin, kTitleBarHeight + kMargin, width - 2 * kMargin);
    return layout;
  }

 private:
  Rows rowsOf(const std::string& parent) const {
    Rows rows;
    int currentRow = -1;
    for (const ComponentContent& content : view_.components) {
      if (content.parent != parent) continue;
      const bool isLayout = content.kind == ComponentKind::Layout;
      if (!content.visible && !(isLayout && content.reservesSpace)) continue;
      if (rows.empty() || content.row != currentRow) rows.emplace_back();
      currentRow = content.row;
      rows.back().push_back({&content, !content.visible});
    }
    return rows;
  }

  Size measure(const ComponentContent& content) {
    auto known = sizes_.find(content.name);
    if (known != sizes_.end()) return known->second;
    Size size;
    switch (content.kind) {
      case ComponentKind::Label: {
        const Size text = metrics_.textSize(content.text);
        if (content.image.empty()) {
          size = text;
        } else {
          const Size image = metrics_.imageSize(content.image);
          const bool hasText = !content.text.empty();
          size = {image.width + (hasText ? kImageTextGap + text.width : 0), std::max(image.height, text.height)};
        }
        break;
      }
      case ComponentKind::PushButton: {
        const Size text = metrics_.textSize(content.text);
        size = {std::max(kButtonMinWidth, text.width + 2 * kButtonPaddingX),
                std::max(kButtonMinHeight, text.height + 2 * kButtonPaddingY)};
        break;
      }
      case ComponentKind::OptionMenu: {
        double widest = 0, height = metrics_.textSize("").height;
        for (size_t i = 0; i < content.itemNames.size(); ++i) {
          const Size item =
              metrics_.textSize(i < content.itemLabels.size() ? content.itemLabels[i] : content.itemNames[i]);
          widest = std::max(widest, item.width);
          height = std::max(height, item.height);
        }
        size = {std::max(kMenuMinWidth, widest + 2 * kMenuPadding + kMenuArrowWidth),
                std::max(kButtonMinHeight, height + 2 * kButtonPaddingY)};
        break;
      }
      case ComponentKind::Layout:
        size = measureRows(content.name);
        break;
    }
    sizes_[content.name] = size;
    return size;
  }

  // Each column's width in a grid; empty when the rows are laid out one by one.
  std::vector<double> columnWidths(const Rows& rows) {
    std::vector<double> widths;
    if (!isGrid(rows)) return widths;
    widths.assign(rows[0].size(), 0);
    for (const auto& row : rows)
      for (size_t column = 0; column < row.size(); ++column)
        widths[column] = std::max(widths[column], measure(*row[column].content).width);
    return widths;
  }

  double rowWidth(const std::vector<Cell>& row, const std::vector<double>& columns) {
    double width = 0;
    for (size_t i = 0; i < row.size(); ++i)
      width += (i ? kCellGap : 0) + (columns.empty() ? measure(*row[i].content).width : columns[i]);
    return width;
  }

  double rowHeight(const std::vector<Cell>& row) {
    double height = 0;
    for (const Cell& cell : row) height = std::max(height, measure(*cell.content).height);
    return height;
  }

  Size measureRows(const std::string& parent) {
    const Rows rows = rowsOf(parent);
    const std::vector<double> columns = columnWidths(rows);
    Size size;
    for (size_t i = 0; i < rows.size(); ++i) {
      size.width = std::max(size.width, rowWidth(rows[i], columns));
      size.height += (i ? kRowGap : 0) + rowHeight(rows[i]);
    }
    return size;
  }

  void placeRows(const std::string& parent, double x, double y, double width) {
    const Rows rows = rowsOf(parent);
    const std::vector<double> columns = columnWidths(rows);
    for (const auto& row : rows) {
      const double height = rowHeight(row);
      if (row.size() == 1 && row[0].content->kind == ComponentKind::Layout) {
        if (!row[0].gap) place(*row[0].content, {x, y, width, height});
      } else {
        double cellX = onlyButtons(row) ? x + width - rowWidth(row, columns) : x;
        for (size_t i = 0; i < row.size(); ++i) {
          const Size size = measure(*row[i].content);
          const double cellWidth = columns.empty() ? size.width : columns[i];
          if (!row[i].gap) place(*row[i].content, {cellX, y + half(height - size.height), size.width, size.height});
          cellX += cellWidth + kCellGap;
        }
      }
      y += height + kRowGap;
    }
  }

  void place(const ComponentContent& content, const Box& box) {
    PlacedComponent placed;
    placed.kind = content.kind;
    placed.name = content.name;
    placed.parent = content.parent;
    placed.box = box;
    placed.enabled = content.enabled;
    placed.color = content.color;
    placed.image = content.image;
    placed.text = content.kind == ComponentKind::OptionMenu ? selectedItemLabel(content) : content.text;
    const Size text = metrics_.textSize(placed.text);
    switch (content.kind) {
      case ComponentKind::Label: {
        double textX = box.x;
        if (!content.image.empty()) {
          const Size image = metrics_.imageSize(content.image);
          placed.imageBox = {box.x, box.y + half(box.height - image.height), image.width, image.height};
          textX = placed.imageBox.right() + kImageTextGap;
        }
        if (!placed.text.empty()) placed.textBox = {textX, box.y + half(box.height - text.height), text.width, text.height};
        break;
      }
      case ComponentKind::PushButton:
        placed.textBox = centredIn(box, text);
        break;
      case ComponentKind::OptionMenu:
        placed.textBox = {box.x + kMenuPadding, box.y + half(box.height - text.height), text.width, text.height};
        break;
      case ComponentKind::Layout:
        break;
    }
    placed_->push_back(std::move(placed));
    if (content.kind == ComponentKind::Layout) placeRows(content.name, box.x, box.y, box.width);
  }

  const DialogView& view_;
  const PictureMetrics& metrics_;
  std::map<std::string, Size> sizes_;
  std::vector<PlacedComponent>* placed_ = nullptr;
};

}  // namespace

bool Box::overlaps(const Box& other) const {
  return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
}

bool Box::contains(const Box& inner) const {
  return inner.x >= x && inner.y >= y && inner.right() <= right() && inner.bottom() <= bottom();
}

const PlacedComponent* DialogLayout::find(const std::string& name) const {
  for (const PlacedComponent& component : components)
    if (component.name == name) return &component;
  return nullptr;
}

std::vector<std::string> DialogLayout::texts() const {
  std::vector<std::string> texts;
  for (const PlacedComponent& component : components)
    if (!component.text.empty()) texts.push_back(component.text);
  return texts;
}

DialogLayout layoutDialog(const DialogView& view, const PictureMetrics& metrics) { return Layouter(view, metrics).run(); }

}  // namespace creosim

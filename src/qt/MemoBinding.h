#pragma once
// The binding of a memo: a read-only QPlainTextEdit. A memo that gets lines added
// is a log, so it keeps its newest line in view.
//
// Owns the widget and the line count it last showed. Thread: user-interface thread only.

#include <cstddef>

#include "qt/Binding.h"

namespace ui {
class Memo;
}

namespace qtfront {

class MemoBinding final : public Binding {
  public:
    MemoBinding(ui::Memo& memo, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;

    ui::Memo& memo_;
    std::size_t shownLines_ = 0;
};

} // namespace qtfront

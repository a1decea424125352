// Base of the header and of every header value object: a Text that can be read and written, a
// change handler fired when a setter changes the text, and parameter access on the text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "support/dispatch/dispatch_base.h"

namespace mime {

class TMimeHeaderItem : public dispatch::TDispatchBase {
 public:
  using ChangeHandler = std::function<void(TMimeHeaderItem&)>;

  virtual std::string GetText() const = 0;
  virtual void SetText(std::string_view text) = 0;

  void SetChangeHandler(ChangeHandler handler) { on_change_ = std::move(handler); }

  // The trimmed key of the index-th parameter after the main value; empty when there are fewer.
  std::string ParamNameByIndex(int index) const;
  // The value of the named parameter, quotes removed; empty when there is none.
  std::string ParamValueByName(std::string_view name) const;

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 protected:
  void NotifyChanged() {
    if (on_change_) on_change_(*this);
  }

 private:
  ChangeHandler on_change_;
};

// A value object whose state is its text alone.
class TMimeHeaderTextItem : public TMimeHeaderItem {
 public:
  std::string GetText() const override { return text_; }
  void SetText(std::string_view text) override;
  const std::string& TextRef() const { return text_; }

 private:
  std::string text_;
};

// Parameter access on a structured value such as `text/plain; charset="x"; name=y`. Separators are
// ";" and "," outside double quotes.
std::string MainValue(std::string_view text);
std::string ParameterValue(std::string_view text, std::string_view name);
std::string ParameterName(std::string_view text, int index);

}  // namespace mime

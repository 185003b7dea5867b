#include "platform/headless/HeadlessUi.h"

#include "platform/FindByName.h"
#include "platform/headless/RealTimeLoop.h"

#include <algorithm>

namespace lum::platform::headless {

namespace {

template <typename T> void Unregister(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

HeadlessControl::HeadlessControl(const ControlArgs& args)
    : name_(args.Name), kind_(args.Kind), bounds_(args.Bounds), text_(args.Caption),
      color_(args.Color), items_(args.Items.begin(), args.Items.end()), parent_(args.Parent) {
    if (kind_ == ControlKind::PageControl) {
        itemIndex_ = 0;
    }
}

void HeadlessControl::SetItemIndex(int index) {
    if (kind_ == ControlKind::ComboBox) {
        itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
        if (itemIndex_ >= 0) {
            text_ = items_[static_cast<std::size_t>(itemIndex_)];
        }
    } else if (kind_ == ControlKind::PageControl) {
        itemIndex_ = index;
    }
}

HeadlessTimer::HeadlessTimer(HeadlessUi& ui, std::string_view name, std::uint32_t interval,
                             bool enabled)
    : TimerBase(name, interval, enabled), ui_(ui) {
    ui_.timers_.push_back(this);
    Restart();
}

HeadlessTimer::~HeadlessTimer() {
    Unregister(ui_.timers_, this);
}

void HeadlessTimer::Restart() {
    due_ = ui_.loop_.Now() + Interval();
    ++restarts_;
}

HeadlessForm::HeadlessForm(HeadlessUi& ui, const FormArgs& args)
    : ui_(ui), name_(args.Name), caption_(args.Caption), style_(args.Style), bounds_(args.Bounds),
      topMost_(args.TopMost) {
    ui_.forms_.push_back(this);
}

HeadlessForm::~HeadlessForm() {
    Unregister(ui_.forms_, this);
}

Control& HeadlessForm::AddControl(const ControlArgs& args) {
    return *controls_.emplace_back(std::make_unique<HeadlessControl>(args));
}

Timer& HeadlessForm::AddTimer(std::string_view name, std::uint32_t interval, bool enabled) {
    return *timers_.emplace_back(std::make_unique<HeadlessTimer>(ui_, name, interval, enabled));
}

Control* HeadlessForm::FindControl(std::string_view name) {
    return FindByName(controls_, name);
}

Timer* HeadlessForm::FindTimer(std::string_view name) {
    return FindByName(timers_, name);
}

void HeadlessForm::Show() {
    ++raised_;
    if (visible_) {
        return;
    }
    visible_ = true;
    if (OnShow) {
        ui_.Dispatch(OnShow);
    }
}

HeadlessUi::HeadlessUi(HeadlessLoop& loop) : loop_(loop) {
    loop_.SetTimerQueue(this);
}

HeadlessUi::HeadlessUi(std::unique_ptr<HeadlessLoop> loop)
    : ownLoop_(std::move(loop)), loop_(*ownLoop_) {
    loop_.SetTimerQueue(this);
}

HeadlessUi::~HeadlessUi() {
    loop_.SetTimerQueue(nullptr);
}

std::unique_ptr<Form> HeadlessUi::CreateForm(const FormArgs& args) {
    return std::make_unique<HeadlessForm>(*this, args);
}

void HeadlessUi::ShowMessage(std::string_view text, MessageKind kind) {
    messages_.push_back(ShownMessage{std::string(text), kind, loop_.Now()});
    const std::uint64_t open = answerDelay_ ? answerDelay_(messages_.back()) : 0;
    ++modalDepth_;
    loop_.RunFor(open);
    if (--modalDepth_ == 0) {
        for (auto& call : afterModal_) {
            loop_.Post(std::move(call));
        }
        afterModal_.clear();
    }
}

void HeadlessUi::WhenModalLoopsEnd(std::function<void()> call) {
    if (modalDepth_ > 0) {
        afterModal_.push_back(std::move(call));
    } else {
        loop_.Post(std::move(call));
    }
}

void HeadlessUi::OpenAddress(Form& /*owner*/, std::string_view address) {
    addresses_.emplace_back(address);
}

bool HeadlessUi::ServeCallsUntil(const std::function<bool()>& done, std::uint32_t timeout) {
    return loop_.ServeCallsUntil(done, timeout);
}

HeadlessForm* HeadlessUi::FindForm(std::string_view name) const {
    const auto found = std::find_if(forms_.begin(), forms_.end(), [name](const HeadlessForm* form) {
        return form->Name() == name;
    });
    return found == forms_.end() ? nullptr : *found;
}

void HeadlessUi::Click(Control& control) {
    if (!control.Enabled()) {
        return;
    }
    if (control.Kind() == ControlKind::CheckBox) {
        control.SetChecked(!control.Checked());
    }
    if (control.OnClick) {
        Dispatch(control.OnClick);
    }
}

void HeadlessUi::Type(Control& control, std::string_view text) {
    if (!control.Enabled()) {
        return;
    }
    if (control.Kind() == ControlKind::ComboBox) {
        control.SetItemIndex(-1);
    }
    control.SetText(text);
    if (control.OnChange) {
        Dispatch(control.OnChange);
    }
}

void HeadlessUi::Select(Control& control, int index) {
    if (!control.Enabled()) {
        return;
    }
    control.SetItemIndex(index);
    if (control.OnChange) {
        Dispatch(control.OnChange);
    }
}

std::uint16_t HeadlessUi::PressKey(HeadlessForm& form, std::uint16_t key, ShiftState shift) {
    if (form.OnKeyDown) {
        Dispatch([&] { form.OnKeyDown(key, shift); });
    }
    return key;
}

void HeadlessUi::CloseBox(HeadlessForm& form) {
    if (form.Style() == FormStyle::Sizeable) {
        form.Hide();
    }
}

void HeadlessUi::SetMessageAnswerDelay(std::function<std::uint64_t(const ShownMessage&)> delay) {
    answerDelay_ = std::move(delay);
}

std::optional<std::uint64_t> HeadlessUi::NextDue() const {
    std::optional<std::uint64_t> next;
    for (const HeadlessTimer* timer : timers_) {
        if (timer->Waiting() && (!next || timer->due_ < *next)) {
            next = timer->due_;
        }
    }
    return next;
}

void HeadlessUi::FireNext(std::uint64_t now) {
    HeadlessTimer* next = nullptr;
    for (HeadlessTimer* timer : timers_) {
        if (timer->Waiting() && timer->due_ <= now &&
            (next == nullptr || timer->due_ < next->due_)) {
            next = timer;
        }
    }
    if (next == nullptr) {
        return;
    }
    // The next countdown runs from this tick; a tick that restarts its timer keeps that restart.
    next->due_ = now + next->Interval();
    const std::uint64_t restarts = next->restarts_;
    next->ticking_ = true;
    if (next->OnTimer) {
        Dispatch(next->OnTimer);
    }
    next->ticking_ = false;
    if (next->restarts_ == restarts && next->due_ < loop_.Now()) {
        // A nested loop outlasted the interval: the missed ticks come as one, now.
        next->due_ = loop_.Now();
    }
}

} // namespace lum::platform::headless

namespace lum::platform {

std::unique_ptr<Ui> CreateSystemUi() {
    return std::make_unique<headless::HeadlessUi>(std::make_unique<headless::RealTimeLoop>());
}

} // namespace lum::platform

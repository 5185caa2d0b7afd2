#include "core/LProgressDialog.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/LDispatcher.h"
#include "core/LUi.h"

namespace {

class LSilentWindow : public LProgressWindow {
public:
    void SetText(int, const std::string&) override {}
    void SetPercent(int32_t) override {}
    bool Pump() override { return false; }
};

class LSilentBackend : public LProgressBackend {
public:
    std::unique_ptr<LProgressWindow> Open(const std::string&) override { return std::make_unique<LSilentWindow>(); }
};

LProgressBackend* g_backend = nullptr;

} // namespace

LProgressBackend& LProgressGetBackend()
{
    static LSilentBackend silent;
    return g_backend ? *g_backend : silent;
}

void LProgressSetBackend(LProgressBackend* backend) { g_backend = backend; }

int32_t LProgressDialog::Run()
{
    if (window_)
        return 0;
    window_ = LProgressGetBackend().Open(title_);
    if (!window_)
        return 0;
    cancelled_ = false;
    window_->SetPercent(0);
    int32_t r = Process();
    window_.reset();
    return r;
}

int32_t LProgressDialog::RunOffUiThread(std::unique_ptr<LProgressWindow> window)
{
    if (window_ || !window)
        return 0;
    window_ = std::move(window);
    uiThread_ = false;
    cancelled_ = false;
    int32_t r = Process();
    window_.reset();
    return r;
}

bool LProgressDialog::IsCancelled()
{
    if (uiThread_)
        LUiDispatcher().DrainPending();
    if (!window_)
        return cancelled_;
    if (!cancelled_ && window_->Pump())
        cancelled_ = true;
    return cancelled_;
}

bool LProgressDialog::Wait(int32_t ms)
{
    using Clock = std::chrono::steady_clock;
    auto end = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    for (;;) {
        if (IsCancelled())
            return true;
        auto now = Clock::now();
        if (now >= end)
            return false;
        auto slice = std::min<Clock::duration>(end - now, std::chrono::milliseconds(20));
        std::this_thread::sleep_for(slice);
    }
}

int32_t LProgressDialog::WaitForObject(LWaitable& object, int32_t ms)
{
    using Clock = std::chrono::steady_clock;
    auto end = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    for (;;) {
        if (IsCancelled())
            return 1;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (object.WaitFor(int32_t(std::clamp<int64_t>(left, 0, 20))))
            return 0;
        if (Clock::now() >= end)
            return 2;
    }
}

void LProgressDialog::SetText(const std::string& text, int line)
{
    if (window_ && (line == 0 || line == 1))
        window_->SetText(line, text);
}

void LProgressDialog::SetProgress(double fraction)
{
    if (!window_)
        return;
    double percent = fraction * 100.0;
    window_->SetPercent(percent >= 0.0 ? int32_t(std::min(percent, 100.0)) : 0);
}

void LProgressDialog::Error(const std::string& text)
{
    LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
}

int32_t RunJob(std::string title, std::function<int32_t(LProgressDialog&)> body)
{
    LJobDialog job(std::move(title), std::move(body));
    job.Run();
    return job.result;
}

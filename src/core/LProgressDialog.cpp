#include "core/LProgressDialog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
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

// What a worker's Process() hands to the window's thread: the lines and the bar
// it set last, and calls to run there.
struct LProgressDialog::Worker {
    std::thread::id id;
    std::mutex mutex;
    std::string text[2];
    bool textChanged[2] = {false, false};
    int32_t percent = 0;
    bool percentChanged = false;
    struct Call {
        const std::function<void()>* call;
        LEvent* done;
    };
    std::deque<Call> calls;
    LEvent wake;  // set when anything above changed or the worker ended
    std::atomic<bool> cancelled{false};
    std::atomic<bool> ended{false};
};

LProgressDialog::LProgressDialog(std::string title) : title_(std::move(title)) {}

LProgressDialog::~LProgressDialog() = default;

bool LProgressDialog::OnWorker() const { return worker_ && std::this_thread::get_id() == worker_->id; }

bool LProgressDialog::OpenWindow()
{
    if (window_)
        return false;
    window_ = LProgressGetBackend().Open(title_);
    if (!window_)
        return false;
    cancelled_ = false;
    window_->SetPercent(0);
    return true;
}

int32_t LProgressDialog::Run()
{
    if (!OpenWindow())
        return 0;
    int32_t r = Process();
    window_.reset();
    return r;
}

bool LProgressDialog::FlushWorker()
{
    Worker& w = *worker_;
    std::deque<Worker::Call> calls;
    std::string text[2];
    bool textChanged[2] = {false, false};
    bool percentChanged = false;
    int32_t percent = 0;
    {
        std::lock_guard lock(w.mutex);
        calls.swap(w.calls);
        for (int line = 0; line < 2; ++line) {
            textChanged[line] = w.textChanged[line];
            w.textChanged[line] = false;
            if (textChanged[line])
                text[line] = w.text[line];
        }
        percentChanged = w.percentChanged;
        percent = w.percent;
        w.percentChanged = false;
    }
    for (int line = 0; line < 2; ++line)
        if (textChanged[line])
            window_->SetText(line, text[line]);
    if (percentChanged)
        window_->SetPercent(percent);
    for (const Worker::Call& c : calls) {
        (*c.call)();
        c.done->Set();
    }
    return w.ended.load();
}

int32_t LProgressDialog::RunOnWorker()
{
    if (!OpenWindow())
        return 0;
    worker_ = std::make_unique<Worker>();
    int32_t result = 0;
    // The worker starts once its id is known, so that every call it makes
    // knows it is the worker's.
    LEvent go;
    std::thread thread([this, &result, &go] {
        while (!go.WaitFor(1000)) {
        }
        result = Process();
        worker_->ended.store(true);
        worker_->wake.Set();
    });
    worker_->id = thread.get_id();
    go.Set();
    for (;;) {
        worker_->wake.Reset();
        if (FlushWorker())
            break;
        LUiDispatcher().DrainPending();
        if (!cancelled_ && window_->Pump()) {
            cancelled_ = true;
            worker_->cancelled.store(true);
        }
        worker_->wake.WaitFor(20);
    }
    thread.join();
    FlushWorker();
    worker_.reset();
    window_.reset();
    return result;
}

void LProgressDialog::OnWindowThread(const std::function<void()>& call)
{
    if (!OnWorker()) {
        call();
        return;
    }
    LEvent done;
    {
        std::lock_guard lock(worker_->mutex);
        worker_->calls.push_back({&call, &done});
    }
    worker_->wake.Set();
    while (!done.WaitFor(1000)) {
    }
}

bool LProgressDialog::IsCancelled()
{
    if (OnWorker())
        return worker_->cancelled.load();
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
    if (OnWorker()) {
        if (line == 0 || line == 1) {
            std::lock_guard lock(worker_->mutex);
            worker_->text[line] = text;
            worker_->textChanged[line] = true;
        }
        worker_->wake.Set();
        return;
    }
    if (window_ && (line == 0 || line == 1))
        window_->SetText(line, text);
}

void LProgressDialog::SetProgress(double fraction)
{
    double percent = fraction * 100.0;
    const int32_t whole = percent >= 0.0 ? int32_t(std::min(percent, 100.0)) : 0;
    if (OnWorker()) {
        std::lock_guard lock(worker_->mutex);
        // The window's thread looks at it within a slice; a change of bar alone
        // need not wake it.
        worker_->percentChanged |= worker_->percent != whole;
        worker_->percent = whole;
        return;
    }
    if (!window_)
        return;
    window_->SetPercent(whole);
}

void LProgressDialog::Error(const std::string& text)
{
    OnWindowThread([&] { LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Exclamation); });
}

int32_t RunJob(std::string title, std::function<int32_t(LProgressDialog&)> body)
{
    LJobDialog job(std::move(title), std::move(body));
    job.Run();
    return job.result;
}

int32_t RunJobOnWorker(std::string title, std::function<int32_t(LProgressDialog&)> body)
{
    LJobDialog job(std::move(title), std::move(body));
    job.RunOnWorker();
    return job.result;
}

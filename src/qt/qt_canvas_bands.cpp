#include "qt/qt_canvas_bands.h"

#include <QPainter>
#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "qt/qt_canvas.h"

namespace qzarn {

namespace {

// Fewer rows than this per band and the figures each band walks again cost
// more than its share of the pixels saves; an ordinary screen stays whole.
constexpr int kLeastBandRows = 480;
constexpr int kMostBands = 4;
// Fewer smooth figures than this (twice as many aliased) and the picture
// takes a millisecond or two: waking the other threads and walking the
// figures once per band cost more than the share of the pixels they save.
constexpr int kLeastBandFigures = 64;

// Threads kept for the bands beyond the first (which the caller's thread
// draws). They live as long as the program: each keeps the texts it has
// shaped, as the caller's thread does, which a thread per picture would shape
// again every time.
class BandThreads {
 public:
  static BandThreads& Get() {
    // Never destroyed: the threads wait for work until the program ends.
    static BandThreads* threads = new BandThreads;
    return *threads;
  }

  // Runs job(1) .. job(count - 1) on the kept threads and job(0) on the
  // caller's, and returns when all are done.
  void Run(int count, const std::function<void(int)>& job) {
    std::unique_lock lock(run_mutex_);  // one picture at a time
    {
      std::lock_guard state(mutex_);
      while (static_cast<int>(threads_.size()) < count - 1) {
        const int index = static_cast<int>(threads_.size()) + 1;
        threads_.emplace_back([this, index] { Work(index); });
        threads_.back().detach();
      }
      job_ = &job;
      count_ = count;
      pending_ = count - 1;
      ++round_;
    }
    wake_.notify_all();
    job(0);
    std::unique_lock state(mutex_);
    done_.wait(state, [this] { return pending_ == 0; });
    job_ = nullptr;
  }

 private:
  void Work(int index) {
    std::uint64_t seen = 0;
    std::unique_lock state(mutex_);
    for (;;) {
      wake_.wait(state, [&] { return round_ != seen; });
      seen = round_;
      if (index >= count_) continue;
      const std::function<void(int)>* job = job_;
      state.unlock();
      (*job)(index);
      state.lock();
      if (--pending_ == 0) done_.notify_one();
    }
  }

  std::mutex run_mutex_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> threads_;
  const std::function<void(int)>* job_ = nullptr;
  int count_ = 0;
  int pending_ = 0;
  std::uint64_t round_ = 0;
};

bool Shareable(const QImage& image) {
  return (image.format() == QImage::Format_RGB32 ||
          image.format() == QImage::Format_ARGB32_Premultiplied) &&
         image.devicePixelRatio() == 1.0;
}

}  // namespace

int PictureBands(int height, int figures, bool smooth) {
  if ((smooth ? figures : figures / 2) < kLeastBandFigures) return 1;
  return std::clamp(height / kLeastBandRows, 1, kMostBands);
}

void DrawScreenPicture(QImage& image, render::Size surface, Screen* screen,
                       const render::RenderOptions& options,
                       const render::DrawScreenInputs& inputs) {
  int figures = 0;
  if (screen != nullptr) {
    const int last = std::min(screen->Figures.LastIndex, kLastSlot);
    for (int i = 0; i <= last; ++i)
      if (const FigureRecord* r = screen->Figures.record(i); r != nullptr && !r->empty()) ++figures;
  }
  const int bands =
      Shareable(image) ? PictureBands(image.height(), figures, options.antialiasing) : 1;
  const int processors = static_cast<int>(std::thread::hardware_concurrency());
  DrawScreenPictureInBands(image, surface, screen, options, inputs, bands, std::max(processors, 1));
}

void DrawScreenPictureInBands(QImage& image, render::Size surface, Screen* screen,
                              const render::RenderOptions& options,
                              const render::DrawScreenInputs& inputs, int bands, int threads) {
  if (screen == nullptr) return;
  QPainter painter(&image);
  QtCanvas canvas(painter, surface);
  if (bands <= 1 || !Shareable(image) || image.height() < bands) {
    render::DrawScreen(canvas, screen, options, inputs);
    return;
  }
  threads = std::clamp(threads, 1, bands);
  // Every thread paints through an image of its own over the same pixels (a
  // painter per image); the pixels of a band are written by one canvas alone.
  uchar* bits = image.bits();
  const int height = image.height();
  std::vector<QImage> views;
  for (int i = 1; i < threads; ++i)
    views.emplace_back(bits, image.width(), height, image.bytesPerLine(), image.format());
  const auto top = [&](int band) {
    return static_cast<int>(static_cast<long long>(height) * band / bands);
  };
  render::DrawScreenInParts(canvas, screen, options, inputs,
                            [&](const render::DrawPicturePart& draw) {
                              BandThreads::Get().Run(threads, [&](int thread) {
                                // The caller's thread draws with the canvas that fitted the text
                                // boxes; the others with canvases of their own.
                                QPainter own_painter;
                                std::optional<QtCanvas> own;
                                if (thread != 0) {
                                  own_painter.begin(&views[static_cast<std::size_t>(thread - 1)]);
                                  own.emplace(own_painter, surface);
                                }
                                QtCanvas& on = own ? *own : canvas;
                                // Thread t draws bands t, t + threads, ...
                                for (int band = thread; band < bands; band += threads) {
                                  on.SetBand(top(band), top(band + 1));
                                  draw(on);
                                }
                              });
                            });
}

}  // namespace qzarn

// Writes COUNT generated photos, 4000x3000 JPEGs at quality 90, into FOLDER
// for bench/albummaker.sh: a colour gradient that differs per photo, soft
// bands and pixel noise, so that they compress like camera pictures (a few
// megabytes each). Both processors write at once.
//   albummaker_photos FOLDER COUNT

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QImage>

// std
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

QImage photo(int number)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    quint32 state = 2463534242u + 977u * quint32(number);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double band = 40.0 * std::sin(y / (90.0 + number % 7 * 11));
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            const int noise = int(state % 25) - 12;
            const int r = int(x * 200 / image.width() + band) + (number * 37) % 55 + noise;
            const int g = int(y * 180 / image.height()) + 30 + noise;
            const int b = int((x + y) * 120 / (image.width() + image.height()) - band) + 60 + noise;
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: albummaker_photos FOLDER COUNT\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int count = std::atoi(argv[2]);
    if (!QDir().mkpath(folder.path()) || count < 1)
        return 2;
    std::vector<std::thread> threads;
    bool ok[2] = {true, true};
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t + 1; i <= count; i += 2)
                ok[t] = photo(i).save(folder.filePath(QStringLiteral("photo%1.jpg").arg(i, 4, 10, QChar('0'))), "jpeg",
                                      90) && ok[t];
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return ok[0] && ok[1] ? 0 : 1;
}

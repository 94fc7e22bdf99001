// A pupil's PC in a process of its own, running the real delivery code: records ANSWERS answers
// of one drill into FOLDER/kiroku.sqlite, INTERVAL_MS apart, with the delivery worker running,
// and waits until everything is delivered. With NUMBER and PIN it signs in first and binds the
// folder; otherwise the folder must be bound already. ANSWERS 0: only delivers what waits.
//
//   school_pc CONNINFO FOLDER ANSWERS INTERVAL_MS [NUMBER PIN]
// Prints "delivered MS" (the time from the first answer to everything delivered); exit 1 when
// not everything arrived within two minutes.

#include "Client.h"
#include "Delivery.h"
#include "LearningRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 7) {
        std::cerr << "usage: school_pc CONNINFO FOLDER ANSWERS INTERVAL_MS [NUMBER PIN]\n";
        return 2;
    }
    const std::string conninfo = argv[1], folder = argv[2];
    const int answers = std::atoi(argv[3]), interval = std::atoi(argv[4]);
    try {
        if (argc == 7) {
            school::Client client(conninfo);
            const school::SignInResult r = client.SignIn(argv[5], argv[6], "pc-" + folder, true);
            if (r.status != school::SignInResult::Status::SignedIn) {
                std::cerr << "school_pc: sign-in refused\n";
                return 1;
            }
            school::BindFolder(folder, r.token);
        }
        school::Delivery delivery(conninfo);
        delivery.AddFolder(folder);
        QElapsedTimer clock;
        clock.start();
        if (answers > 0) {
            record::LearningRecord rec;
            rec.Open(folder + "/" + record::kFileName);
            const std::int64_t session = rec.BeginSession({record::kDrill, 1, std::nullopt});
            for (int i = 0; i < answers; ++i) {
                record::Answer a;
                a.bango = std::to_string(1000 + i);
                a.answer = i % 2;
                a.correct = i % 3 != 0;
                rec.AddAnswer(session, a);
                delivery.Wake();
                if (interval > 0)
                    QThread::msleep(static_cast<unsigned long>(interval));
            }
            rec.EndSession(session);
            delivery.Wake();
        }
        while (school::PendingIn(folder) > 0) {
            if (clock.elapsed() > 120000) {
                std::cerr << "school_pc: " << school::PendingIn(folder) << " not delivered\n";
                return 1;
            }
            QThread::msleep(5);
        }
        std::cout << "delivered " << clock.elapsed() << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "school_pc: " << e.what() << "\n";
        return 1;
    }
}

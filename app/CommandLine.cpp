#include "app/CommandLine.h"

#include "app/ControlHelp.h"
#include "common/QuotedText.h"

#include <set>

#ifndef MIREL_VERSION
#define MIREL_VERSION "1.27"
#endif

namespace mirel {

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    std::set<std::string> given;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const bool isOption = startsWith(argument, "-") && argument != "-";
        const std::string name = isOption && equals != std::string::npos ? argument.substr(0, equals) : argument;
        const bool inlineValue = isOption && equals != std::string::npos;

        // The value of an option that takes one: after "=" or the next argument.
        auto takeValue = [&](std::string& value) {
            if (inlineValue) {
                value = argument.substr(equals + 1);
                return true;
            }
            if (i + 1 >= arguments.size() || startsWith(arguments[i + 1], "--")) {
                result.error = "параметру " + name + " нужно значение (" +
                               (name == "--input" ? std::string("--input FILE") : std::string("--generator SPEC")) +
                               ")";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        auto refuseValue = [&] {
            if (!inlineValue)
                return false;
            result.error = "параметр " + name + " не принимает значения";
            return true;
        };
        // Every option may be given once; -h is --help.
        auto refuseRepeat = [&] {
            if (given.insert(name == "-h" ? "--help" : name).second)
                return false;
            result.error = "параметр " + name + " указан больше одного раза";
            return true;
        };

        if (name == "--help" || name == "-h") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.help = true;
        } else if (name == "--version") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.version = true;
        } else if (name == "--list-devices") {
            if (refuseValue())
                return result;
            result.listDevices = true;
        } else if (name == "--demo") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.generator = true;
        } else if (name == "--generator") {
            std::string spec;
            if (refuseRepeat() || !takeValue(spec))
                return result;
            std::string error;
            if (!parseGeneratorSpec(spec, result.generatorSpec, error)) {
                result.error = "--generator: " + error;
                return result;
            }
            result.generator = true;
        } else if (name == "--input") {
            if (refuseRepeat() || !takeValue(result.inputFile))
                return result;
            if (result.inputFile.empty()) {
                result.error = "параметру --input нужно имя файла";
                return result;
            }
        } else if (isOption) {
            result.error = "неизвестный параметр " + Quoted(name);
            return result;
        } else {
            result.error = "лишний аргумент " + Quoted(argument);
            return result;
        }
    }
    return result;
}

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return parseCommandLine(arguments);
}

// The manual page is made from this text at build time (packaging/ManualPage.h has the layout
// rules it must keep: headings at the margin ending in ":", list entries two spaces in).
std::string helpText()
{
    return "Использование: mirel [--demo] [--generator SPEC] [--input FILE] [--list-devices]\n"
           "\n"
           "Mirel превращает два входа звуковой карты в измерительный прибор из пяти\n"
           "окон: «Осциллограф», «Спектроанализатор», «Плотность вероятности» (плотность\n"
           "вероятности амплитуды), «Расчет ошибок» (счет ошибок за заданное время) и\n"
           "«Передаточная функция» (что испытуемое устройство делает с сигналом: A — его\n"
           "вход, B — выход).\n"
           "Канал A — левый вход, канал B — правый; отсчет полной шкалы соответствует\n"
           "1 вольту. Без параметров в списке устройств («Выберите аудиоустройство...»\n"
           "в начальном окне) только звуковые карты.\n"
           "\n"
           "Если список пуст, программа сообщает об этом («Звуковая карта не обнаружена»)\n"
           "и завершается; --demo или --input FILE запускают ее без звуковой карты.\n"
           "\n"
           "Параметры:\n"
           "  --demo             добавить в список устройств встроенный генератор\n"
           "                     испытательных сигналов «Генератор (демо)» (A: синус\n"
           "                     1 кГц, 0,5 В, с небольшим шумом; B: 10 импульсов в\n"
           "                     секунду, 0,8 В, шириной 1 мс)\n"
           "                       пример: mirel --demo\n"
           "  --generator SPEC   добавить генератор с сигналами SPEC; каналы, которых SPEC\n"
           "                     не называет, сохраняют сигналы, указанные выше.\n"
           "                     Периодические сигналы начинаются через 7/16 отсчета от\n"
           "                     начала периода, чтобы ни один отсчет синуса, период\n"
           "                     которого — целое, половинное или четвертное число\n"
           "                     отсчетов, не попадал на переход через ноль\n"
           "                       пример: mirel --generator A=sine:440:0.3,B=noise:0.2\n"
           "  --input FILE       добавить звуковой файл (WAV, FLAC, OGG, ...),\n"
           "                     воспроизводимый по кругу в реальном времени; устройство\n"
           "                     называется по имени файла\n"
           "                       пример: mirel --input recording.wav\n"
           "  --list-devices     вывести список устройств и завершиться: у каждого\n"
           "                     устройства номер, имя и частота записи (у файла — его\n"
           "                     собственная, до 48000 Гц, иначе наибольшая из\n"
           "                     доступных, не более 48000 Гц); --demo, --generator и\n"
           "                     --input добавляют свои устройства. Затем устройства\n"
           "                     вывода звуковых карт, строками «вывод N: NAME RATE Гц»,\n"
           "                     первым — устройство вывода по умолчанию, с пометкой\n"
           "                     «(по умолчанию)»; их номера и имена принимают play\n"
           "                     --device и --play-device\n"
           "                       пример: mirel --list-devices\n"
           "  --help             показать этот текст и завершиться\n"
           "                       пример: mirel --help\n"
           "  --version          показать версию и завершиться\n"
           "                       пример: mirel --version\n"
           "  Значение можно дать и через «=» (--input=recording.wav). В списке устройств\n"
           "  сначала звуковые карты, затем генератор, затем файл.\n"
           "\n"
           "Измерение без окна:\n"
           "  SOURCE — это --input FILE, --generator SPEC или --device NAME-OR-NUMBER\n"
           "  (номер или имя, как их выводит --list-devices). Файл или генератор\n"
           "  измеряется так быстро, как только можно, звуковая карта — в реальном\n"
           "  времени; по умолчанию --rate — частота записи, которую --list-devices\n"
           "  показывает для источника. Приборы — те же окна, только не на экране, и\n"
           "  результаты те же, что показывают окна. Со звуковой картой (--device)\n"
           "  snapshot и measure принимают --play SPEC [--play-device NAME-OR-NUMBER]:\n"
           "  пока идет измерение, устройство вывода (по умолчанию — устройство вывода\n"
           "  по умолчанию) воспроизводит сигналы SPEC с частотой записи, если\n"
           "  устройство ее поддерживает; запись начинается, когда вывод уже идет, и\n"
           "  вывод заканчивается вместе с командой.\n"
           "  snapshot           mirel snapshot oscilloscope|spectrum|density|transfer\n"
           "                     SOURCE [--rate HZ] [--set CONTROL=VALUE]... [--size WxH]\n"
           "                     [--scheme white|black] [--blocks N] [--no-band]\n"
           "                     --output FILE:\n"
           "                     открывает окно «Осциллограф» (oscilloscope),\n"
           "                     «Спектроанализатор» (spectrum), «Плотность\n"
           "                     вероятности» (density) или «Передаточная функция»\n"
           "                     (transfer; в нем N считает результаты, по умолчанию\n"
           "                     16), устанавливает элементы\n"
           "                     управления окна в заданном порядке, пропускает N блоков\n"
           "                     (по умолчанию 1) и сохраняет изображение, как команды\n"
           "                     «Сохранить диаграмму ...» и «Сохранить данные (CSV) ...»\n"
           "                     его контекстного меню: рисунок с полосой заголовка\n"
           "                     (.png, .bmp, .jpg; --no-band убирает полосу) или\n"
           "                     показанные числа (.csv). --size — размер окна в\n"
           "                     пикселях, не меньше 500x450 (по умолчанию); --scheme —\n"
           "                     «Фон» начального окна: white — «Белый», black — «Черный».\n"
           "                     В спектрограмме (--set spectrogram=1) N считает строки\n"
           "                     (--set lines=10|25|50|100 в секунду); файл читается с\n"
           "                     начала, CSV — строка на строку спектрограммы и канал\n"
           "    пример: mirel snapshot spectrum --input a.wav --output a.png\n"
           "    пример: mirel snapshot spectrum --input a.wav --set spectrogram=1\n"
           "            --blocks 500 --output a.csv\n"
           "  measure            mirel measure statistics SOURCE [--rate HZ]\n"
           "                     --duration SECONDS --output FILE:\n"
           "                     в окне «Расчет ошибок» проводит один счет ошибок длиной\n"
           "                     SECONDS (целое число секунд, как в поле «Измерения\n"
           "                     проводить:», затем «Старт») и сохраняет файл\n"
           "                     результатов, как «Сохранить результаты ...»; выводит\n"
           "                     три его строки в кодировке UTF-8. Каждый блок 0,2 с\n"
           "                     считается отдельно: фронт, попавший точно между двумя\n"
           "                     блоками, не считается, как и импульс ниже половины\n"
           "                     самого высокого в своем блоке\n"
           "    пример: mirel measure statistics --input a.wav --duration 60 --output a.txt\n"
           "  measure            mirel measure readings SOURCE\n"
           "                     --instrument oscilloscope|spectrum|density [--rate HZ]\n"
           "                     [--set CONTROL=VALUE]... [--blocks N] --output FILE:\n"
           "                     открывает окно прибора, как snapshot, пропускает N блоков\n"
           "                     (по умолчанию 1) и пишет в FILE таблицу CSV: по строке\n"
           "                     на блок и показанный канал с показаниями окна (пункт\n"
           "                     «Показания», F2) в единицах СИ и с точкой. Столбцы:\n"
           "                     block, channel (A, B); осциллограф: frequency_hz,\n"
           "                     period_s, max_v, min_v, peak_to_peak_v, mean_v, rms_v;\n"
           "                     спектр: peak_frequency_hz, peak_amplitude_v,\n"
           "                     thd_percent, snr_db; плотность: mean_v, std_v,\n"
           "                     clipped_share (доля от 0 до 1). Ячейка пуста, где\n"
           "                     показание не относится к прибору или не измерено\n"
           "    пример: mirel measure readings --input a.wav --instrument density --output r\n"
           "    пример: mirel measure readings --device 1 --play A=sine:1000:0.5\n"
           "            --instrument spectrum --blocks 5 --output r.csv\n"
           "  measure            mirel measure transfer SOURCE [--rate HZ]\n"
           "                     [--set CONTROL=VALUE]... [--blocks N] --output FILE:\n"
           "                     открывает окно «Передаточная функция», как snapshot,\n"
           "                     ждет N результатов (по умолчанию 16; новый результат —\n"
           "                     каждые четверть длины преобразования) и пишет в FILE\n"
           "                     усредненный результат, как CSV: frequency_hz,\n"
           "                     magnitude_db, phase_deg, coherence, по строке на точку\n"
           "                     полосы. Канал A — сигнал на входе испытуемого\n"
           "                     устройства, B — на его выходе. С --set delay=1 находит\n"
           "                     задержку B относительно A («Найти задержку»), выводит\n"
           "                     строку delay_samples,delay_s,polarity (+ или -) с ее\n"
           "                     заголовком, вычитает ее («Компенсировать») и снова ждет\n"
           "                     N результатов\n"
           "    пример: mirel measure transfer --device 1 --play A=periodic:16384\n"
           "            --set cbAverage=64 --blocks 64 --set delay=1 --output h.csv\n" +
           controlsHelpText() +
           "  Код завершения 2 также при неизвестном элементе управления или значении вне\n"
           "  диапазона, 1 — если измерение не удалось (устройство молчит, выходной файл\n"
           "  нельзя записать). При неудаче файл не записывается; существующий выходной\n"
           "  файл остается прежним.\n"
           "\n"
           "Генератор на выходе звуковой карты:\n"
           "  play               mirel play SPEC [--device NAME-OR-NUMBER]\n"
           "                     [--duration SECONDS]:\n"
           "                     воспроизводит сигналы генератора SPEC (ниже) на\n"
           "                     устройстве вывода: канал A — на левом выходе, B — на\n"
           "                     правом; канал, которого SPEC не называет, молчит (так\n"
           "                     же и у --play). --device — номер или имя устройства\n"
           "                     вывода, как их выводит --list-devices (по умолчанию —\n"
           "                     устройство вывода по умолчанию; годится и часть имени,\n"
           "                     если она есть только в одном). Частота — наибольшая из\n"
           "                     обычных, не более 48000 Гц. Воспроизведение идет\n"
           "                     SECONDS секунд (можно дробное число) или до SIGINT\n"
           "                     (Ctrl+C), SIGTERM или SIGHUP, после чего команда\n"
           "                     завершается с кодом 0 и сообщает о пропусках вывода,\n"
           "                     если они были\n"
           "    пример: mirel play A=sine:1000:0.5,B=silence --duration 10\n"
           "\n"
           "Расчет ошибок:\n"
           "  Счет ошибок (окно «Расчет ошибок» и measure statistics) принимает каждый\n"
           "  импульс на канале, то есть каждый период его сигнала, за один сигнал,\n"
           "  переданный с ошибкой. Переданные сигналы не измеряются: считается, что\n"
           "  испытуемая аппаратура передает 654 сигнала в секунду, и «Всего передано\n"
           "  сигналов» — это 654, умноженное на число секунд измерения. Подавайте на\n"
           "  каждый канал выход ошибок этой аппаратуры, по импульсу на ошибку; блок 0,2 с\n"
           "  с размахом меньше 20 из 256 уровней (около 0,16 В от пика до пика) ничего не\n"
           "  считает. Оценка вероятности ошибки — это число ошибок, деленное на число\n"
           "  переданных сигналов, поэтому она больше 1, когда приходит больше 654\n"
           "  импульсов в секунду: синус 1 кГц демонстрационного генератора на канале A\n"
           "  дает около 5000 ошибок на 3270 сигналов за 5 с, оценку около 1,5.\n"
           "\n"
           "Сигналы генератора:\n"
           "  SPEC — список через запятую из CHANNEL=SIGNAL[+noise:RMS], где CHANNEL — A\n"
           "  или B, каждый не более одного раза; SIGNAL — одно из:\n"
           "  sine[:FREQ[:AMPL]]              синус с амплитудой AMPL (по умолчанию\n"
           "                                  1000 Гц, 0,5 В)\n"
           "  square[:FREQ[:AMPL]]            +AMPL в первой половине каждого периода,\n"
           "                                  -AMPL во второй (по умолчанию 1000 Гц, 0,5 В)\n"
           "  pulse[:FREQ[:AMPL[:WIDTH_MS]]]  FREQ импульсов в секунду от 0 до AMPL\n"
           "                                  (по умолчанию 10 Гц, 0,8 В, 1 мс)\n"
           "  noise[:RMS]                     гауссов белый шум (по умолчанию 0,1 В СКЗ)\n"
           "  pink[:RMS]                      розовый шум: -3 дБ на октаву, от 10 Гц\n"
           "                                  (по умолчанию 0,1 В СКЗ)\n"
           "  sweep:F1:F2:SECONDS[:AMPL]      синус, частота которого за SECONDS секунд\n"
           "                                  меняется от F1 до F2 по логарифмическому\n"
           "                                  закону, затем снова с F1 (по умолчанию 0,5 В)\n"
           "  periodic:N[:RMS]                розовый шум, повторяющийся ровно через N\n"
           "                                  отсчетов: преобразование длины N видит его\n"
           "                                  без растекания (по умолчанию 0,1 В СКЗ)\n"
           "  silence                         0 В\n"
           "  FREQ, F1 и F2 в герцах (больше 0, не более 50000; F1 и F2 различны, F2\n"
           "  может быть и меньше F1), SECONDS от 0.01 до 3600, N — степень двойки от\n"
           "  2048 до 65536. AMPL и RMS в вольтах (от 0 до 1; 1 В — полная шкала) или в\n"
           "  dBFS, не выше 0: -20dBFS — это 0,1 В (для AMPL пиковых, для RMS СКЗ).\n"
           "  WIDTH_MS в миллисекундах (короче периода); числа пишутся с точкой (0.5).\n"
           "  +noise без значения добавляет шум 0,1 В СКЗ. Канал, названный в SPEC,\n"
           "  воспроизводит ровно то, что написано; не названный сохраняет сигнал по\n"
           "  умолчанию. Значения за пределами полной шкалы обрезаются.\n"
           "  Пример: A=square:250:0.3+noise:0.02,B=silence\n"
           "  Пример: A=sweep:20:20000:10:-6dBFS,B=pink:-20dBFS\n"
           "\n"
           "Звуковые файлы:\n"
           "  Моно-файл подается на оба канала; из нескольких каналов первые два — это A\n"
           "  и B. Файл с частотой до 48000 Гц записывается на своей частоте, отсчет в\n"
           "  отсчет (файл 44100 Гц — на 44100 Гц); файл выше 48000 Гц — на 48000 Гц.\n"
           "  --rate может запросить любую частоту от 1000 Гц до собственной частоты\n"
           "  файла. На другой частоте файл преобразуется libsoxr (очень высокое\n"
           "  качество): частоты остаются верными, уровни — до 0,9 половины частоты\n"
           "  записи, а все, что выше половины частоты записи, отфильтровывается.\n"
           "\n"
           "Код завершения:\n"
           "  0   успех, также после --help, --version и --list-devices и после play,\n"
           "      остановленной сигналом\n"
           "  1   устройство ввода не найдено, нет графического экрана для окон\n"
           "      (работают только snapshot и measure), устройство вывода (play,\n"
           "      --play) не найдено, не открывается или пропало, или программа\n"
           "      завершилась из-за ошибки\n"
           "  2   неверная командная строка или вход, который не удается открыть;\n"
           "      причина выводится в стандартный поток ошибок\n"
           "\n"
           "Файлы:\n"
           "  Mirel не читает файлов настроек и не хранит настроек между запусками;\n"
           "  единственный файл, который программа читает, — тот, что указан в --input.\n";
}

std::string versionText()
{
    return std::string("Mirel ") + MIREL_VERSION + "\n";
}

}  // namespace mirel

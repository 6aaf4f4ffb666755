<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>QObject</name>
    <message>
        <source>Story map</source>
        <translation>Карта истории</translation>
    </message>
</context>
<context>
    <name>velmora::AudioWindow</name>
    <message>
        <source>Audio options</source>
        <translation>Настройки звука</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Громкость</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Баланс</translation>
    </message>
</context>
<context>
    <name>velmora::ChoiceList</name>
    <message>
        <source>Choices</source>
        <translation>Варианты</translation>
    </message>
    <message>
        <source>Double-click a choice, or select it and press Enter</source>
        <translation>Дважды щёлкните вариант или выделите его и нажмите Enter</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
</context>
<context>
    <name>velmora::CopyProgressWindow</name>
    <message>
        <source>Copying the game into your own folder, so that playing never changes the original...</source>
        <translation>Игра копируется в вашу папку, чтобы игра никогда не меняла оригинал...</translation>
    </message>
</context>
<context>
    <name>velmora::Countdown</name>
    <message>
        <source>Time left</source>
        <translation>Осталось времени</translation>
    </message>
    <message numerus="yes">
        <source>%n s</source>
        <translation>
            <numerusform>%n с</numerusform>
            <numerusform>%n с</numerusform>
            <numerusform>%n с</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>velmora::HistoryWindow</name>
    <message>
        <source>The story so far</source>
        <translation>История до сих пор</translation>
    </message>
    <message>
        <source>Pages read</source>
        <translation>Прочитанные страницы</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>The story so far...</source>
        <translation>История до сих пор...</translation>
    </message>
    <message>
        <source>Chosen: %1</source>
        <translation>Выбрано: %1</translation>
    </message>
    <message>
        <source>Page %1 of %2: %3</source>
        <translation>Страница %1 из %2: %3</translation>
    </message>
</context>
<context>
    <name>velmora::LibraryWindow</name>
    <message>
        <source>The folder is gone</source>
        <translation>Папки больше нет</translation>
    </message>
    <message>
        <source>Not played yet</source>
        <translation>Ещё не запускалась</translation>
    </message>
    <message>
        <source>Last played %1</source>
        <translation>Последний запуск: %1</translation>
    </message>
    <message>
        <source>Velmora Player: game library</source>
        <translation>Velmora Player: библиотека игр</translation>
    </message>
    <message>
        <source>Games</source>
        <translation>Игры</translation>
    </message>
    <message>
        <source>&amp;Add game...</source>
        <translation>&amp;Добавить игру...</translation>
    </message>
    <message>
        <source>&amp;Scan folder...</source>
        <translation>&amp;Найти игры в папке...</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Убрать</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Играть</translation>
    </message>
    <message>
        <source>Drop game folders here to add them.</source>
        <translation>Перетащите сюда папки с играми, чтобы добавить их.</translation>
    </message>
    <message>
        <source>Add a game folder</source>
        <translation>Добавить папку с игрой</translation>
    </message>
    <message>
        <source>Scan a folder for games</source>
        <translation>Найти игры в папке</translation>
    </message>
    <message>
        <source>%1 holds no game: %2</source>
        <translation>В папке %1 нет игры: %2</translation>
    </message>
    <message>
        <source>No new games in %1</source>
        <translation>В папке %1 нет новых игр</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Продолжить</translation>
    </message>
    <message>
        <source>Go on from where the game was last closed</source>
        <translation>Продолжить с того места, где игра была закрыта</translation>
    </message>
    <message>
        <source>Did not start: %1</source>
        <translation>Не запустилась: %1</translation>
    </message>
</context>
<context>
    <name>velmora::LiveReloadDriver</name>
    <message>
        <source>Live reload</source>
        <translation>Перезагрузка на лету</translation>
    </message>
    <message>
        <source>A file could not be taken up: %1</source>
        <translation>Файл не удалось принять: %1</translation>
    </message>
</context>
<context>
    <name>velmora::MainWindow</name>
    <message>
        <source>Picture</source>
        <translation>Картинка</translation>
    </message>
    <message>
        <source>Story text</source>
        <translation>Текст истории</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Крупнее</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Мельче</translation>
    </message>
    <message>
        <source>Actual size</source>
        <translation>Обычный размер</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Во весь экран</translation>
    </message>
    <message>
        <source>Game library...</source>
        <translation>Библиотека игр...</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Клавиши</translation>
    </message>
    <message>
        <source>About Velmora Player</source>
        <translation>О программе Velmora Player</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>choose the selected choice (or double-click it)</source>
        <translation>выбрать выделенный вариант (или двойной щелчок по нему)</translation>
    </message>
    <message>
        <source>select a choice</source>
        <translation>выделить вариант</translation>
    </message>
    <message>
        <source>go to the next control: choices, story text, the title bar&apos;s items</source>
        <translation>к следующему элементу: варианты, текст истории, пункты заголовка</translation>
    </message>
    <message>
        <source>the menu: &quot;Audio...&quot;, &quot;Инвентарь&quot;, zoom, saves, the game library</source>
        <translation>меню: «Audio...», «Инвентарь», масштаб, сохранения, библиотека игр</translation>
    </message>
    <message>
        <source>quick save, quick load</source>
        <translation>быстрое сохранение, быстрая загрузка</translation>
    </message>
    <message>
        <source>the Save window, the Load window</source>
        <translation>окно сохранения, окно загрузки</translation>
    </message>
    <message>
        <source>back to before the last choice</source>
        <translation>назад, к моменту перед последним выбором</translation>
    </message>
    <message>
        <source>zoom in, zoom out, actual size</source>
        <translation>крупнее, мельче, обычный размер</translation>
    </message>
    <message>
        <source>full screen</source>
        <translation>во весь экран</translation>
    </message>
    <message>
        <source>close a tool window; leave full screen</source>
        <translation>закрыть вспомогательное окно; выйти из полноэкранного режима</translation>
    </message>
    <message>
        <source>this list</source>
        <translation>этот список</translation>
    </message>
    <message>
        <source>Velmora Player v %1
A player for branching interactive stories.</source>
        <translation>Velmora Player v %1
Проигрыватель ветвящихся интерактивных историй.</translation>
    </message>
    <message>
        <source>No sound output: playing without sound</source>
        <translation>Нет вывода звука: игра идёт без звука</translation>
    </message>
    <message>
        <source>The game could not start: %1 says why.</source>
        <translation>Игра не смогла запуститься: причина записана в %1.</translation>
    </message>
    <message>
        <source>Going on from where the game was closed</source>
        <translation>Продолжение с того места, где игра была закрыта</translation>
    </message>
    <message>
        <source>Playing your own copy of the game, made now in %1</source>
        <translation>Игра идёт в вашей копии, созданной сейчас в %1</translation>
    </message>
</context>
<context>
    <name>velmora::MapWindow</name>
    <message>
        <source>Story map</source>
        <translation>Карта истории</translation>
    </message>
    <message>
        <source>Find a page by name</source>
        <translation>Найти страницу по имени</translation>
    </message>
    <message>
        <source>Find a page</source>
        <translation>Найти страницу</translation>
    </message>
    <message>
        <source>The story&apos;s pages and the ways between them</source>
        <translation>Страницы истории и пути между ними</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Крупнее</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Мельче</translation>
    </message>
</context>
<context>
    <name>velmora::NotAGame</name>
    <message>
        <source>There is no folder %1.</source>
        <translation>Папки %1 нет.</translation>
    </message>
    <message>
        <source>%1 has a config.ini, but not the story file it names, %2.</source>
        <translation>В %1 есть config.ini, но нет файла истории %2, который он называет.</translation>
    </message>
    <message>
        <source>%1 holds no config.ini, which every game folder has.</source>
        <translation>В %1 нет файла config.ini, который есть в папке любой игры.</translation>
    </message>
    <message>
        <source>This folder is not a game.</source>
        <translation>Эта папка — не игра.</translation>
    </message>
    <message>
        <source>Open the folder that holds the game&apos;s config.ini, or pick a game in the game library.</source>
        <translation>Откройте папку, в которой лежит config.ini игры, или выберите игру в библиотеке.</translation>
    </message>
    <message>
        <source>Velmora Player: not a game</source>
        <translation>Velmora Player: это не игра</translation>
    </message>
</context>
<context>
    <name>velmora::Notice</name>
    <message>
        <source>The game has no page &quot;%1&quot;. LastStart.log says more.</source>
        <translation>В игре нет страницы «%1». Подробности в LastStart.log.</translation>
    </message>
    <message>
        <source>The game has no script &quot;%1&quot;. LastStart.log says more.</source>
        <translation>В игре нет скрипта «%1». Подробности в LastStart.log.</translation>
    </message>
    <message>
        <source>The game has no label &quot;%1&quot;. LastStart.log says more.</source>
        <translation>В игре нет метки «%1». Подробности в LastStart.log.</translation>
    </message>
    <message>
        <source>The game&apos;s picture %1 is missing. LastStart.log says more.</source>
        <translation>Картинки игры %1 нет. Подробности в LastStart.log.</translation>
    </message>
</context>
<context>
    <name>velmora::QtSpeech</name>
    <message>
        <source>No speech engine is installed (Debian packages speech-dispatcher, espeak-ng and qt6-speech-speechd-plugin).</source>
        <translation>Не установлен синтезатор речи (пакеты Debian speech-dispatcher, espeak-ng и qt6-speech-speechd-plugin).</translation>
    </message>
    <message>
        <source>The speech service (speech-dispatcher) does not answer.</source>
        <translation>Служба речи (speech-dispatcher) не отвечает.</translation>
    </message>
    <message>
        <source>The speech service does not answer: %1</source>
        <translation>Служба речи не отвечает: %1</translation>
    </message>
</context>
<context>
    <name>velmora::SaveActions</name>
    <message>
        <source>Quick save</source>
        <translation>Быстрое сохранение</translation>
    </message>
    <message>
        <source>Quick load</source>
        <translation>Быстрая загрузка</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Сохранить...</translation>
    </message>
    <message>
        <source>Load...</source>
        <translation>Загрузить...</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Назад</translation>
    </message>
</context>
<context>
    <name>velmora::SaveLoadWindow</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>under 1 min</source>
        <translation>меньше 1 мин</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 мин</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 ч</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 ч %2 мин</translation>
    </message>
    <message>
        <source>the quick slot</source>
        <translation>ячейка быстрого сохранения</translation>
    </message>
    <message>
        <source>slot %1</source>
        <translation>ячейка %1</translation>
    </message>
    <message>
        <source>Saved: %1</source>
        <translation>Сохранено: %1</translation>
    </message>
    <message>
        <source>Loaded: %1</source>
        <translation>Загружено: %1</translation>
    </message>
    <message>
        <source>Back before the last choice</source>
        <translation>Назад, к моменту перед последним выбором</translation>
    </message>
    <message>
        <source>Not now: a script is running</source>
        <translation>Не сейчас: работает сценарий</translation>
    </message>
    <message>
        <source>Nothing to load: %1 is empty</source>
        <translation>Нечего загружать: %1 пуста</translation>
    </message>
    <message>
        <source>Nothing to go back to</source>
        <translation>Назад возвращаться некуда</translation>
    </message>
    <message>
        <source>That did not work: %1</source>
        <translation>Не получилось: %1</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>Сохранить игру</translation>
    </message>
    <message>
        <source>Load game</source>
        <translation>Загрузить игру</translation>
    </message>
    <message>
        <source>Name of the save</source>
        <translation>Название сохранения</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Quick</source>
        <translation>Быстрое</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(пусто)</translation>
    </message>
    <message>
        <source>(cannot be loaded)</source>
        <translation>(не загружается)</translation>
    </message>
    <message>
        <source>Save over %1? The save there is lost.</source>
        <translation>Сохранить поверх: %1? Прежнее сохранение пропадёт.</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Перезаписать</translation>
    </message>
    <message>
        <source>%1 (&quot;%2&quot;)</source>
        <translation>%1 («%2»)</translation>
    </message>
    <message>
        <source>Delete %1? This cannot be undone.</source>
        <translation>Удалить: %1? Это нельзя отменить.</translation>
    </message>
    <message>
        <source>Deleted: %1</source>
        <translation>Удалено: %1</translation>
    </message>
    <message>
        <source>Saved games</source>
        <translation>Сохранённые игры</translation>
    </message>
    <message>
        <source>the automatic slot</source>
        <translation>автосохранение</translation>
    </message>
    <message>
        <source>Last closed</source>
        <translation>Автосохранение</translation>
    </message>
</context>
<context>
    <name>velmora::SelfVoicing</name>
    <message>
        <source>1 choice</source>
        <translation>1 вариант</translation>
    </message>
    <message numerus="yes">
        <source>%n choices</source>
        <translation>
            <numerusform>%n вариант</numerusform>
            <numerusform>%n варианта</numerusform>
            <numerusform>%n вариантов</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <source>timed page</source>
        <translation>страница со временем</translation>
    </message>
    <message>
        <source>Inventory</source>
        <translation>Инвентарь</translation>
    </message>
    <message>
        <source>no items</source>
        <translation>нет предметов</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Self-voicing</source>
        <translation>Озвучивание</translation>
    </message>
    <message>
        <source>Say the choice again</source>
        <translation>Повторить вариант</translation>
    </message>
    <message>
        <source>Self-voicing is on, but nothing can be heard: %1</source>
        <translation>Озвучивание включено, но ничего не слышно: %1</translation>
    </message>
</context>
<context>
    <name>velmora::SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>As the system</source>
        <translation>Как в системе</translation>
    </message>
    <message>
        <source>Speak the story aloud (V)</source>
        <translation>Читать историю вслух (V)</translation>
    </message>
    <message>
        <source>Self-voicing</source>
        <translation>Озвучивание</translation>
    </message>
    <message>
        <source>Speech rate</source>
        <translation>Скорость речи</translation>
    </message>
    <message>
        <source>Speech volume</source>
        <translation>Громкость речи</translation>
    </message>
    <message>
        <source>Time to read</source>
        <translation>Время на чтение</translation>
    </message>
    <message>
        <source>%1 times the page&apos;s time</source>
        <translation>%1 × время страницы</translation>
    </message>
    <message>
        <source>Show the time left on timed pages</source>
        <translation>Показывать оставшееся время на страницах со временем</translation>
    </message>
    <message>
        <source>Text size</source>
        <translation>Размер текста</translation>
    </message>
    <message>
        <source>As the game sets it</source>
        <translation>Как задано в игре</translation>
    </message>
    <message>
        <source> pt</source>
        <translation> пт</translation>
    </message>
    <message>
        <source>High-contrast colours (from the next start)</source>
        <translation>Контрастные цвета (со следующего запуска)</translation>
    </message>
    <message>
        <source>High-contrast colours</source>
        <translation>Контрастные цвета</translation>
    </message>
    <message>
        <source>Language (from the next start):</source>
        <translation>Язык (со следующего запуска):</translation>
    </message>
    <message>
        <source>Speech rate:</source>
        <translation>Скорость речи:</translation>
    </message>
    <message>
        <source>Speech volume:</source>
        <translation>Громкость речи:</translation>
    </message>
    <message>
        <source>Time to read:</source>
        <translation>Время на чтение:</translation>
    </message>
    <message>
        <source>Text size:</source>
        <translation>Размер текста:</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Настройки...</translation>
    </message>
    <message>
        <source>The settings could not be kept: %1</source>
        <translation>Настройки не удалось сохранить: %1</translation>
    </message>
</context>
<context>
    <name>velmora::TitleBar</name>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
</TS>

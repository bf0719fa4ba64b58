<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Core</name>
    <message>
        <source>Select a DRM binary</source>
        <translation>Выберите файл DRM</translation>
    </message>
    <message>
        <source>CG15 binaries|*.smg;*.bin|All files|*.*</source>
        <translation>Файлы CG15|*.smg;*.bin|Все файлы|*.*</translation>
    </message>
    <message>
        <source>All Files (*.*)|*.*</source>
        <translation>Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>Open mma file</source>
        <translation>Открыть файл mma</translation>
    </message>
    <message>
        <source>Save mma as...</source>
        <translation>Сохранить mma как...</translation>
    </message>
    <message>
        <source>Select CG1 to create FW profile</source>
        <translation>Выберите CG1 для создания профиля прошивки</translation>
    </message>
    <message>
        <source>CG1 binaries|*.bin;*.smg|All files|*.*</source>
        <translation>Файлы CG1|*.bin;*.smg|Все файлы|*.*</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Выберите файл</translation>
    </message>
    <message>
        <source>Save file as</source>
        <translation>Сохранить файл как</translation>
    </message>
    <message>
        <source>Select folder to download selected files</source>
        <translation>Выберите папку для скачивания выбранных файлов</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Новая папка</translation>
    </message>
    <message>
        <source>Type in new folder name</source>
        <translation>Введите имя новой папки</translation>
    </message>
    <message>
        <source>GIF files|*.gif|All files|*.*</source>
        <translation>Файлы GIF|*.gif|Все файлы|*.*</translation>
    </message>
    <message>
        <source>Not an mma_ucp menu file: its first record is not the menu root &quot;Root&quot;</source>
        <translation>Это не файл меню mma_ucp: его первая запись — не корень меню &quot;Root&quot;</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>There is no menu to save</source>
        <translation>Нет меню для сохранения</translation>
    </message>
    <message>
        <source>The softkey area must hold exactly seven items without subitems</source>
        <translation>В области софт-клавиш должно быть ровно семь пунктов без подпунктов</translation>
    </message>
    <message>
        <source>The menu needs </source>
        <translation>Записей в меню: </translation>
    </message>
    <message>
        <source> records; an mma_ucp file holds at most 255 (245 menu items)</source>
        <translation>, а файл mma_ucp вмещает не более 255 (245 пунктов меню)</translation>
    </message>
    <message>
        <source>The data of item </source>
        <translation>Данные пункта </translation>
    </message>
    <message>
        <source> cannot be saved: </source>
        <translation> не удаётся сохранить: </translation>
    </message>
    <message>
        <source>The item data needs </source>
        <translation>Объём данных пунктов: </translation>
    </message>
    <message>
        <source> bytes; an mma_ucp data area holds at most 65535</source>
        <translation> байт, а область данных mma_ucp вмещает не более 65535</translation>
    </message>
    <message>
        <source>mma_ucp doesn&apos;t match current profile</source>
        <translation>mma_ucp не соответствует текущему профилю</translation>
    </message>
    <message>
        <source>Profile error</source>
        <translation>Ошибка профиля</translation>
    </message>
    <message>
        <source>Scanning CG1</source>
        <translation>Сканирование CG1</translation>
    </message>
    <message>
        <source>Profile info</source>
        <translation>Сведения о профиле</translation>
    </message>
    <message>
        <source>Item base has been updated</source>
        <translation>База пунктов обновлена</translation>
    </message>
    <message>
        <source>Failed to create profile</source>
        <translation>Не удалось создать профиль</translation>
    </message>
    <message>
        <source>Profile was successfully created</source>
        <translation>Профиль успешно создан</translation>
    </message>
    <message>
        <source>This will remove all data<byte value="xd"/>
   Continue?</source>
        <translation>Все данные будут удалены<byte value="xd"/>
   Продолжить?</translation>
    </message>
    <message>
        <source>Invalid path delimiter. Expecting &apos;/&apos;</source>
        <translation>Неверный разделитель пути. Ожидается &apos;/&apos;</translation>
    </message>
    <message>
        <source>Invalid volume letter. Expecting a,b,c,e</source>
        <translation>Неверная буква тома. Ожидается a,b,c,e</translation>
    </message>
    <message>
        <source>Invalid character in file name</source>
        <translation>Недопустимый символ в имени файла</translation>
    </message>
    <message>
        <source>Invalid numeric value</source>
        <translation>Неверное числовое значение</translation>
    </message>
    <message>
        <source>Value too small</source>
        <translation>Слишком маленькое значение</translation>
    </message>
    <message>
        <source>Value too big</source>
        <translation>Слишком большое значение</translation>
    </message>
    <message>
        <source>Invalid dialing character</source>
        <translation>Недопустимый символ набора номера</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Input format error</source>
        <translation>Ошибка формата ввода</translation>
    </message>
    <message>
        <source>Input will be ignored</source>
        <translation>Ввод будет проигнорирован</translation>
    </message>
    <message>
        <source>Discard the changes to this item?</source>
        <translation>Отменить изменения этого пункта?</translation>
    </message>
    <message>
        <source>Format: </source>
        <translation>Формат: </translation>
    </message>
    <message>
        <source>-byte  Entries: </source>
        <translation>-байтный  Записей: </translation>
    </message>
    <message>
        <source>Item summary:</source>
        <translation>Сводка по пункту:</translation>
    </message>
    <message>
        <source>[Not modified]</source>
        <translation>[Не изменён]</translation>
    </message>
    <message>
        <source>Name in menu modified</source>
        <translation>Изменено название в меню</translation>
    </message>
    <message>
        <source>Softkey name modified</source>
        <translation>Изменено название софт-клавиши</translation>
    </message>
    <message>
        <source>URL attached</source>
        <translation>Прикреплена ссылка URL</translation>
    </message>
    <message>
        <source>Phone number attached</source>
        <translation>Прикреплён номер телефона</translation>
    </message>
    <message>
        <source>MIDlet attached</source>
        <translation>Прикреплён мидлет</translation>
    </message>
    <message>
        <source>Icon(s) modified [source: file]</source>
        <translation>Изменены значки [источник: файл]</translation>
    </message>
    <message>
        <source>Icon(s) modified [source: DRM]</source>
        <translation>Изменены значки [источник: DRM]</translation>
    </message>
    <message>
        <source>Text screen attached</source>
        <translation>Прикреплён текстовый экран</translation>
    </message>
    <message>
        <source>Action emulated</source>
        <translation>Эмуляция действия</translation>
    </message>
    <message>
        <source>Shortcut data</source>
        <translation>Данные ярлыка</translation>
    </message>
    <message>
        <source>Unsupported Data</source>
        <translation>Неподдерживаемые данные</translation>
    </message>
    <message>
        <source>O-ops... We must have done smth wrong :(</source>
        <translation>Упс... Кажется, мы что-то сделали не так :(</translation>
    </message>
    <message>
        <source>Selected profile doesn&apos;t match mma_ucp<byte value="xd"/>
    Default profile will be applied</source>
        <translation>Выбранный профиль не соответствует mma_ucp<byte value="xd"/>
    Будет применён профиль по умолчанию</translation>
    </message>
    <message>
        <source>The file is damaged. What could not be read as it stands was repaired or left out:</source>
        <translation>Файл повреждён. То, что не удалось прочитать как есть, исправлено или пропущено:</translation>
    </message>
    <message>
        <source>File repaired</source>
        <translation>Файл исправлен</translation>
    </message>
    <message>
        <source>Missing profile</source>
        <translation>Профиль отсутствует</translation>
    </message>
    <message>
        <source>Profile not found. Default profile will be applied</source>
        <translation>Профиль не найден. Будет применён профиль по умолчанию</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>Create new...</source>
        <translation>Создать новый...</translation>
    </message>
    <message>
        <source>The menu is full: mma_ucp can hold at most 245 menu items</source>
        <translation>Меню заполнено: mma_ucp вмещает не более 245 пунктов меню</translation>
    </message>
    <message>
        <source>The item and all its subitems will be deleted<byte value="xd"/>
           Continue?</source>
        <translation>Пункт и все его подпункты будут удалены<byte value="xd"/>
           Продолжить?</translation>
    </message>
    <message>
        <source>Insert item</source>
        <translation>вставку пункта</translation>
    </message>
    <message>
        <source>Replace item</source>
        <translation>замену пункта</translation>
    </message>
    <message>
        <source>Delete item</source>
        <translation>удаление пункта</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>перемещение вверх</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>перемещение вниз</translation>
    </message>
    <message>
        <source>Drop item</source>
        <translation>перетаскивание пункта</translation>
    </message>
    <message>
        <source>Modify item</source>
        <translation>изменение пункта</translation>
    </message>
    <message>
        <source>Change save mode</source>
        <translation>смену режима сохранения</translation>
    </message>
    <message>
        <source>Save changes to the menu?</source>
        <translation>Сохранить изменения в меню?</translation>
    </message>
    <message>
        <source>Error initializing P2KAPI library</source>
        <translation>Ошибка инициализации библиотеки P2KAPI</translation>
    </message>
    <message>
        <source>Connected:  </source>
        <translation>Подключён:  </translation>
    </message>
    <message>
        <source>Phone: </source>
        <translation>Телефон: </translation>
    </message>
    <message>
        <source> IMEI: </source>
        <translation> IMEI: </translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Отключён</translation>
    </message>
    <message>
        <source>Phone: None </source>
        <translation>Телефон: нет </translation>
    </message>
    <message>
        <source>IMEI: N/A </source>
        <translation>IMEI: н/д </translation>
    </message>
    <message>
        <source>File </source>
        <translation>Файл </translation>
    </message>
    <message>
        <source> already exists<byte value="xd"/>
Overwrite it?</source>
        <translation> уже существует<byte value="xd"/>
Перезаписать его?</translation>
    </message>
    <message>
        <source>Target directory not specified</source>
        <translation>Не указана папка назначения</translation>
    </message>
    <message>
        <source>Error writing </source>
        <translation>Ошибка записи </translation>
    </message>
    <message>
        <source>Downloading </source>
        <translation>Скачивание </translation>
    </message>
    <message>
        <source>Error reading </source>
        <translation>Ошибка чтения </translation>
    </message>
    <message>
        <source>Error deleting </source>
        <translation>Ошибка удаления </translation>
    </message>
    <message>
        <source>Error changing attributes for </source>
        <translation>Ошибка изменения атрибутов </translation>
    </message>
    <message>
        <source>Error creating </source>
        <translation>Ошибка создания </translation>
    </message>
    <message>
        <source>Unsupported J2MEST format</source>
        <translation>Неподдерживаемый формат J2MEST</translation>
    </message>
    <message>
        <source>Error getting volume info</source>
        <translation>Ошибка получения сведений о томе</translation>
    </message>
    <message>
        <source>Retrieving picture list from volume /</source>
        <translation>Получение списка картинок с тома /</translation>
    </message>
    <message>
        <source>Retrieving file list from volume /</source>
        <translation>Получение списка файлов с тома /</translation>
    </message>
    <message>
        <source>Fatal P2K error</source>
        <translation>Критическая ошибка P2K</translation>
    </message>
    <message>
        <source>Reading mma_ucp</source>
        <translation>Чтение mma_ucp</translation>
    </message>
    <message>
        <source>Error reading mma_ucp</source>
        <translation>Ошибка чтения mma_ucp</translation>
    </message>
    <message>
        <source>Reading J2MEST [phone]</source>
        <translation>Чтение J2MEST [телефон]</translation>
    </message>
    <message>
        <source>Error reading J2MEST [phone]</source>
        <translation>Ошибка чтения J2MEST [телефон]</translation>
    </message>
    <message>
        <source>Reading J2MEST [card]</source>
        <translation>Чтение J2MEST [карта]</translation>
    </message>
    <message>
        <source>P2K error</source>
        <translation>Ошибка P2K</translation>
    </message>
    <message>
        <source>    Error reading J2MEST [card]<byte value="xd"/>
File read error or J2MEST absent</source>
        <translation>    Ошибка чтения J2MEST [карта]<byte value="xd"/>
Ошибка чтения файла или J2MEST отсутствует</translation>
    </message>
    <message>
        <source>Patch request</source>
        <translation>Запрос на исправление</translation>
    </message>
    <message>
        <source>J2MEST file(s) seem to contain wrong CORELET info<byte value="xd"/>
preventing them from starting from main menu<byte value="xd"/>
      Attempt patching?</source>
        <translation>Похоже, файлы J2MEST содержат неверные сведения CORELET,<byte value="xd"/>
из-за которых их нельзя запустить из главного меню<byte value="xd"/>
      Попробовать исправить?</translation>
    </message>
    <message>
        <source>mma_ucp was stored to the phone<byte value="xd"/>
      Should we reboot it?</source>
        <translation>mma_ucp записан в телефон<byte value="xd"/>
      Перезагрузить его?</translation>
    </message>
    <message>
        <source>Backup file is too large for SEEM 0032_0001: </source>
        <translation>Файл резервной копии слишком велик для SEEM 0032_0001: </translation>
    </message>
    <message>
        <source> bytes, at most </source>
        <translation> байт, допустимо не более </translation>
    </message>
    <message>
        <source>P2K Error</source>
        <translation>Ошибка P2K</translation>
    </message>
    <message>
        <source>Error reading SEEM</source>
        <translation>Ошибка чтения SEEM</translation>
    </message>
    <message>
        <source>SEEM 0032_0001 backed up</source>
        <translation>Резервная копия SEEM 0032_0001 сохранена</translation>
    </message>
    <message>
        <source>Error writing SEEM</source>
        <translation>Ошибка записи SEEM</translation>
    </message>
    <message>
        <source>Backup SEEM 0032_0001 restored</source>
        <translation>Резервная копия SEEM 0032_0001 восстановлена</translation>
    </message>
    <message>
        <source>SEEM files|*.seem</source>
        <translation>Файлы SEEM|*.seem</translation>
    </message>
    <message>
        <source>Restore SEEM backup from</source>
        <translation>Восстановить резервную копию SEEM из</translation>
    </message>
    <message>
        <source>Cannot create </source>
        <translation>Не удаётся создать </translation>
    </message>
    <message>
        <source>Cannot write </source>
        <translation>Не удаётся записать </translation>
    </message>
    <message>
        <source>Cannot open </source>
        <translation>Не удаётся открыть </translation>
    </message>
    <message>
        <source>File too large: </source>
        <translation>Файл слишком велик: </translation>
    </message>
    <message>
        <source>Uploading </source>
        <translation>Отправка </translation>
    </message>
    <message>
        <source> (Total </source>
        <translation> (всего </translation>
    </message>
    <message>
        <source>Cannot read </source>
        <translation>Не удаётся прочитать </translation>
    </message>
    <message>
        <source>Cannot use the folder </source>
        <translation>Не удаётся использовать папку </translation>
    </message>
    <message>
        <source>Not an mma_ucp menu file: </source>
        <translation>Это не файл меню mma_ucp: </translation>
    </message>
    <message>
        <source> bytes are too few for the header and its ten fixed records</source>
        <translation> байт — слишком мало для заголовка и десяти обязательных записей</translation>
    </message>
    <message>
        <source> bytes are too few for the header and its ten fixed records (</source>
        <translation> байт — слишком мало для заголовка и десяти обязательных записей (</translation>
    </message>
    <message>
        <source> bytes with </source>
        <translation> байт для </translation>
    </message>
    <message>
        <source>-byte records)</source>
        <translation>-байтных записей)</translation>
    </message>
    <message>
        <source>Not an mma_ucp menu file: the header counts </source>
        <translation>Это не файл меню mma_ucp: по заголовку записей </translation>
    </message>
    <message>
        <source> records, fewer than its ten fixed records</source>
        <translation>, это меньше десяти обязательных записей</translation>
    </message>
    <message>
        <source>The file ends inside its records: the header counts </source>
        <translation>Файл обрывается посреди записей: по заголовку записей </translation>
    </message>
    <message>
        <source> records, the file holds </source>
        <translation>, а в файле их </translation>
    </message>
    <message>
        <source>The unknown item name &quot;</source>
        <translation>Имя неизвестного пункта &quot;</translation>
    </message>
    <message>
        <source>Unknown items of this damaged file were not added to the item base: </source>
        <translation>Неизвестные пункты этого повреждённого файла не добавлены в базу пунктов: </translation>
    </message>
    <message>
        <source>The unknown item </source>
        <translation>Неизвестный пункт </translation>
    </message>
    <message>
        <source> could not be added to the item base: </source>
        <translation> не удалось добавить в базу пунктов: </translation>
    </message>
    <message>
        <source>Record </source>
        <translation>Запись </translation>
    </message>
    <message>
        <source> is reached a second time; its group ends there</source>
        <translation> встречена повторно; её группа на этом заканчивается</translation>
    </message>
    <message>
        <source> names record </source>
        <translation> указывает на запись </translation>
    </message>
    <message>
        <source> as its first child, outside the main menu records; its children were skipped</source>
        <translation> как на первый подпункт, вне записей главного меню; её подпункты пропущены</translation>
    </message>
    <message>
        <source> as its first child, a record already read; its children were skipped</source>
        <translation> как на первый подпункт, уже прочитанную запись; её подпункты пропущены</translation>
    </message>
    <message>
        <source>Item </source>
        <translation>Пункт </translation>
    </message>
    <message>
        <source> (record </source>
        <translation> (запись </translation>
    </message>
    <message>
        <source>its data at offset </source>
        <translation>его данные по смещению </translation>
    </message>
    <message>
        <source> bytes) lies beyond the end of the file</source>
        <translation> байт) выходят за конец файла</translation>
    </message>
    <message>
        <source>No data folder: neither XDG_DATA_HOME nor HOME is set</source>
        <translation>Нет папки данных: не заданы ни XDG_DATA_HOME, ни HOME</translation>
    </message>
    <message>
        <source>Cannot create the data folder </source>
        <translation>Не удаётся создать папку данных </translation>
    </message>
    <message>
        <source>Cannot copy the sample profile into </source>
        <translation>Не удаётся скопировать образец профиля в </translation>
    </message>
    <message>
        <source>Cannot create the folder </source>
        <translation>Не удаётся создать папку </translation>
    </message>
    <message>
        <source>Invalid profile formatting</source>
        <translation>Неверный формат профиля</translation>
    </message>
    <message>
        <source>Invalid mma record length (36 byte assumed)</source>
        <translation>Неверная длина записи mma (принято 36 байт)</translation>
    </message>
    <message>
        <source>Invalid user icon marker (0C assumed)</source>
        <translation>Неверный маркер своего значка (принято 0C)</translation>
    </message>
    <message>
        <source>C698p fix can be either 1 (ON) or 0 (OFF - assumed)</source>
        <translation>Исправление C698p может быть 1 (ВКЛ) или 0 (ВЫКЛ — принято)</translation>
    </message>
    <message>
        <source>Unsupported mma item(s) found and omitted: </source>
        <translation>Найдены и пропущены неподдерживаемые пункты mma: </translation>
    </message>
    <message>
        <source>English US</source>
        <translation>Английский (США)</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Арабский</translation>
    </message>
    <message>
        <source>English UK</source>
        <translation>Английский (Великобритания)</translation>
    </message>
    <message>
        <source>Chinese Complex</source>
        <translation>Китайский традиционный</translation>
    </message>
    <message>
        <source>Chinese Simple</source>
        <translation>Китайский упрощённый</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Французский</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Немецкий</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Иврит</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Итальянский</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Испанский</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Тайский</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Вьетнамский</translation>
    </message>
    <message>
        <source>Canadian French</source>
        <translation>Французский (Канада)</translation>
    </message>
    <message>
        <source>American Spanish</source>
        <translation>Испанский (Америка)</translation>
    </message>
    <message>
        <source>Bahasa</source>
        <translation>Бахаса</translation>
    </message>
    <message>
        <source>Bulgarian</source>
        <translation>Болгарский</translation>
    </message>
    <message>
        <source>Croatian</source>
        <translation>Хорватский</translation>
    </message>
    <message>
        <source>Czech</source>
        <translation>Чешский</translation>
    </message>
    <message>
        <source>Danish</source>
        <translation>Датский</translation>
    </message>
    <message>
        <source>Dutch</source>
        <translation>Нидерландский</translation>
    </message>
    <message>
        <source>Estonian</source>
        <translation>Эстонский</translation>
    </message>
    <message>
        <source>Finnish</source>
        <translation>Финский</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Греческий</translation>
    </message>
    <message>
        <source>Hungarian</source>
        <translation>Венгерский</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Японский</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Корейский</translation>
    </message>
    <message>
        <source>Latvian</source>
        <translation>Латышский</translation>
    </message>
    <message>
        <source>Lithuanian</source>
        <translation>Литовский</translation>
    </message>
    <message>
        <source>Malay</source>
        <translation>Малайский</translation>
    </message>
    <message>
        <source>Norwegian</source>
        <translation>Норвежский</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Польский</translation>
    </message>
    <message>
        <source>Portuguese</source>
        <translation>Португальский</translation>
    </message>
    <message>
        <source>American Portuguese</source>
        <translation>Португальский (Америка)</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Румынский</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Serbian</source>
        <translation>Сербский</translation>
    </message>
    <message>
        <source>Slovak</source>
        <translation>Словацкий</translation>
    </message>
    <message>
        <source>Slovenian</source>
        <translation>Словенский</translation>
    </message>
    <message>
        <source>Tagalog</source>
        <translation>Тагальский</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Турецкий</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Украинский</translation>
    </message>
    <message>
        <source>Brazilian Portuguese</source>
        <translation>Португальский (Бразилия)</translation>
    </message>
    <message>
        <source>Swedish</source>
        <translation>Шведский</translation>
    </message>
    <message>
        <source>Farsi</source>
        <translation>Фарси</translation>
    </message>
    <message>
        <source>Urdu</source>
        <translation>Урду</translation>
    </message>
    <message>
        <source>Hindi</source>
        <translation>Хинди</translation>
    </message>
    <message>
        <source>Bahasa Malay</source>
        <translation>Бахаса (малайский)</translation>
    </message>
    <message>
        <source>Delete </source>
        <translation>Удалить </translation>
    </message>
    <message>
        <source>GIF image is not valid</source>
        <translation>Изображение GIF повреждено</translation>
    </message>
    <message>
        <source>[no image]</source>
        <translation>[нет изображения]</translation>
    </message>
    <message>
        <source>Size: </source>
        <translation>Размер: </translation>
    </message>
    <message>
        <source>Cannot patch </source>
        <translation>Не удаётся исправить </translation>
    </message>
    <message>
        <source>: offset </source>
        <translation>: смещение </translation>
    </message>
    <message>
        <source> lies beyond its end</source>
        <translation> лежит за его концом</translation>
    </message>
    <message>
        <source>Cannot read picture &quot;</source>
        <translation>Не удаётся прочитать картинку &quot;</translation>
    </message>
    <message>
        <source>Cannot convert picture &quot;</source>
        <translation>Не удаётся преобразовать картинку &quot;</translation>
    </message>
    <message>
        <source>&quot; holds no readable DRM icon pack: </source>
        <translation>&quot; не содержит читаемого набора значков DRM: </translation>
    </message>
    <message>
        <source> (see &quot;Using a real phone&quot; in the README) and plug the phone in again.</source>
        <translation> (см. «Using a real phone» в README) и подключите телефон заново.</translation>
    </message>
    <message>
        <source>A Motorola phone was found on USB but cannot be opened: in use by another program or driver. </source>
        <translation>Телефон Motorola найден на USB, но его не удаётся открыть: он занят другой программой или драйвером. </translation>
    </message>
    <message>
        <source>A Motorola phone was found on USB but cannot be opened: permission denied. </source>
        <translation>Телефон Motorola найден на USB, но его не удаётся открыть: нет прав доступа. </translation>
    </message>
    <message>
        <source>Install the udev rule </source>
        <translation>Установите правило udev </translation>
    </message>
    <message>
        <source>Error getting the file list of volume /</source>
        <translation>Ошибка получения списка файлов тома /</translation>
    </message>
    <message>
        <source>Error getting free space of volume /</source>
        <translation>Ошибка получения свободного места тома /</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Отменено</translation>
    </message>
    <message>
        <source> is not on the phone</source>
        <translation> нет в телефоне</translation>
    </message>
    <message>
        <source>Keeping a copy of </source>
        <translation>Сохранение копии </translation>
    </message>
    <message>
        <source>. The phone&apos;s previous file is kept in </source>
        <translation>. Прежний файл телефона сохранён в </translation>
    </message>
    <message>
        <source>No phone connected</source>
        <translation>Телефон не подключён</translation>
    </message>
    <message>
        <source>Backup file does not fit SEEM 0032_0001: </source>
        <translation>Резервная копия не подходит к SEEM 0032_0001: </translation>
    </message>
    <message>
        <source> bytes, the phone&apos;s record has </source>
        <translation> байт, а в записи телефона </translation>
    </message>
    <message>
        <source>Save SEEM backup as</source>
        <translation>Сохранить резервную копию SEEM как</translation>
    </message>
    <message>
        <source>Menu text (*.json)|*.json|All Files (*.*)|*.*</source>
        <translation>Текст меню (*.json)|*.json|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>Export as text...</source>
        <translation>Экспорт в текст...</translation>
    </message>
    <message>
        <source>Import text...</source>
        <translation>Импорт текста...</translation>
    </message>
    <message>
        <source>Compare with...</source>
        <translation>Сравнить с...</translation>
    </message>
    <message>
        <source>The file was changed by another program since it was opened</source>
        <translation>Файл был изменён другой программой после того, как его открыли</translation>
    </message>
    <message>
        <source>Records not reached from the menu tree were left out: </source>
        <translation>Записи, недостижимые из дерева меню, пропущены: </translation>
    </message>
    <message>
        <source>&quot; cannot be written to the item base: it is empty or holds a line break, a control character, &quot;;&quot; or a byte beyond ASCII</source>
        <translation>&quot; нельзя записать в базу пунктов: оно пустое или содержит перевод строки, управляющий символ, &quot;;&quot; или байт вне ASCII</translation>
    </message>
    <message>
        <source> data records of unknown kinds will be left out. Save all keeps them.</source>
        <translation> записей данных неизвестных видов не будут сохранены. «Сохранять все данные» сохранит их.</translation>
    </message>
    <message>
        <source>Names longer than 12 bytes cannot be saved in 22-byte records, where they would be cut. Items: </source>
        <translation>Имена длиннее 12 байт нельзя сохранить в 22-байтовых записях: они были бы обрезаны. Пункты: </translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>файл доступен только для чтения</translation>
    </message>
    <message>
        <source>A profile of this firmware exists already: </source>
        <translation>Профиль этой прошивки уже существует: </translation>
    </message>
    <message>
        <source>Cannot make a working folder: </source>
        <translation>Не удаётся создать рабочую папку: </translation>
    </message>
    <message>
        <source>The menu has no file to be saved to</source>
        <translation>У меню нет файла, в который его сохранить</translation>
    </message>
    <message>
        <source>Error restarting the phone</source>
        <translation>Ошибка перезапуска телефона</translation>
    </message>
    <message>
        <source>Error reading the firmware version</source>
        <translation>Ошибка чтения версии прошивки</translation>
    </message>
    <message>
        <source>Error reading the LP version</source>
        <translation>Ошибка чтения версии LP</translation>
    </message>
    <message>
        <source>: animated icon</source>
        <translation>: анимированный значок</translation>
    </message>
    <message>
        <source>: static icon</source>
        <translation>: статичный значок</translation>
    </message>
    <message>
        <source>: list icon</source>
        <translation>: значок списка</translation>
    </message>
    <message>
        <source>: icon</source>
        <translation>: значок</translation>
    </message>
    <message>
        <source>: menu title </source>
        <translation>: заголовок меню </translation>
    </message>
    <message>
        <source>: softkey title </source>
        <translation>: заголовок софтклавиши </translation>
    </message>
    <message>
        <source>: show text </source>
        <translation>: показываемый текст </translation>
    </message>
    <message>
        <source>: URL</source>
        <translation>: URL</translation>
    </message>
    <message>
        <source>: dial number</source>
        <translation>: номер для набора</translation>
    </message>
    <message>
        <source>: MIDlet</source>
        <translation>: MIDlet</translation>
    </message>
    <message>
        <source>: MIDlet name</source>
        <translation>: имя MIDlet</translation>
    </message>
    <message>
        <source>: MIDlet vendor</source>
        <translation>: поставщик MIDlet</translation>
    </message>
    <message>
        <source>: DRM list icon</source>
        <translation>: DRM-значок списка</translation>
    </message>
    <message>
        <source>: DRM static icon</source>
        <translation>: статичный DRM-значок</translation>
    </message>
    <message>
        <source>: DRM animated icon</source>
        <translation>: анимированный DRM-значок</translation>
    </message>
    <message>
        <source> (first byte </source>
        <translation> (первый байт </translation>
    </message>
    <message>
        <source>: code </source>
        <translation>: код </translation>
    </message>
    <message>
        <source>: action</source>
        <translation>: действие</translation>
    </message>
    <message>
        <source>: shortcut</source>
        <translation>: ярлык</translation>
    </message>
    <message>
        <source>: unsupported kind </source>
        <translation>: неподдерживаемый вид </translation>
    </message>
    <message>
        <source>save mode: </source>
        <translation>режим сохранения: </translation>
    </message>
    <message>
        <source>record size </source>
        <translation>размер записи </translation>
    </message>
    <message>
        <source>icon marker </source>
        <translation>метка значков </translation>
    </message>
    <message>
        <source>c698p fix </source>
        <translation>исправление c698p </translation>
    </message>
    <message>
        <source>save all data </source>
        <translation>сохранять все данные </translation>
    </message>
    <message>
        <source>softkey </source>
        <translation>софтклавиша </translation>
    </message>
    <message>
        <source>removed </source>
        <translation>удалён </translation>
    </message>
    <message>
        <source>added </source>
        <translation>добавлен </translation>
    </message>
    <message>
        <source> at </source>
        <translation> в </translation>
    </message>
    <message>
        <source> replaced by </source>
        <translation> заменён на </translation>
    </message>
    <message>
        <source> from </source>
        <translation> из </translation>
    </message>
    <message>
        <source>moved </source>
        <translation>перемещён </translation>
    </message>
    <message>
        <source> to </source>
        <translation> в </translation>
    </message>
    <message>
        <source>: type </source>
        <translation>: тип </translation>
    </message>
    <message>
        <source>: options </source>
        <translation>: параметры </translation>
    </message>
    <message>
        <source>: attributes </source>
        <translation>: атрибуты </translation>
    </message>
    <message>
        <source> removed (</source>
        <translation> удалён (</translation>
    </message>
    <message>
        <source> added </source>
        <translation> добавлен </translation>
    </message>
    <message>
        <source>: data records in another order</source>
        <translation>: записи данных в другом порядке</translation>
    </message>
    <message>
        <source> file and </source>
        <translation>, папок: </translation>
    </message>
    <message>
        <source> files and </source>
        <translation>, папок: </translation>
    </message>
    <message>
        <source> folder?</source>
        <translation>)?</translation>
    </message>
    <message>
        <source> folders?</source>
        <translation>)?</translation>
    </message>
    <message>
        <source> folder.</source>
        <translation>.</translation>
    </message>
    <message>
        <source> folders.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>A volume of the phone cannot be deleted: </source>
        <translation>Том телефона удалить нельзя: </translation>
    </message>
    <message>
        <source>Delete folder </source>
        <translation>Удалить папку </translation>
    </message>
    <message>
        <source> with its </source>
        <translation> со всем содержимым (файлов: </translation>
    </message>
    <message>
        <source>Deleted: </source>
        <translation>Удалено файлов: </translation>
    </message>
    <message>
        <source>Left on the phone: </source>
        <translation>Осталось на телефоне файлов: </translation>
    </message>
    <message>
        <source>Waiting for another program to finish with </source>
        <translation>Ожидание, пока другая программа закончит работу с </translation>
    </message>
    <message>
        <source>Gave up waiting for another program to finish with </source>
        <translation>Ожидание прервано: другая программа так и не закончила работу с </translation>
    </message>
    <message>
        <source>The copy of </source>
        <translation>Копия </translation>
    </message>
    <message>
        <source> in </source>
        <translation> в </translation>
    </message>
    <message>
        <source> is complete, but the phone refused to close the file: it may hold the file open until it is restarted</source>
        <translation> готова, но телефон отказался закрыть файл: он может держать файл открытым до перезапуска</translation>
    </message>
    <message>
        <source>bytes outside the menu&apos;s records: </source>
        <translation>байты вне записей меню: </translation>
    </message>
    <message>
        <source>, other values</source>
        <translation>, другие значения</translation>
    </message>
    <message>
        <source> bytes outside the menu&apos;s records will not be kept</source>
        <translation> байт вне записей меню не будут сохранены</translation>
    </message>
    <message>
        <source>DRM icon </source>
        <translation>DRM-значок </translation>
    </message>
    <message>
        <source>The phone shows its own icon</source>
        <translation>Телефон показывает свой значок</translation>
    </message>
    <message>
        <source> is being fetched from the phone</source>
        <translation> загружается с телефона</translation>
    </message>
    <message>
        <source> is not in the icon folder </source>
        <translation> нет в папке значков </translation>
    </message>
    <message>
        <source> is being looked for on the phone</source>
        <translation> ищется на телефоне</translation>
    </message>
    <message>
        <source>: no phone or icon folder to look in</source>
        <translation>: нет ни телефона, ни папки значков, где искать</translation>
    </message>
    <message>
        <source>: no firmware image chosen</source>
        <translation>: образ прошивки не выбран</translation>
    </message>
    <message>
        <source> is beyond the firmware image&apos;s </source>
        <translation> вне образа прошивки (значков в нём: </translation>
    </message>
    <message>
        <source> icons</source>
        <translation>)</translation>
    </message>
    <message>
        <source> has no picture in the firmware image</source>
        <translation> не имеет картинки в образе прошивки</translation>
    </message>
    <message>
        <source> cannot be read as a GIF picture</source>
        <translation> не читается как картинка GIF</translation>
    </message>
    <message>
        <source>static icon</source>
        <translation>статичный значок</translation>
    </message>
    <message>
        <source>animated icon</source>
        <translation>анимированный значок</translation>
    </message>
    <message>
        <source>list icon</source>
        <translation>значок списка</translation>
    </message>
    <message>
        <source>. Nothing was uploaded: the phone&apos;s file is as it was</source>
        <translation>. Ничего не загружено: файл телефона остался прежним</translation>
    </message>
    <message>
        <source>. The phone&apos;s previous file was put back</source>
        <translation>. Прежний файл телефона возвращён на место</translation>
    </message>
    <message>
        <source>. It could not be noted for when the phone is connected again: </source>
        <translation>. Не удалось запомнить это до следующего подключения телефона: </translation>
    </message>
    <message>
        <source>No backup of </source>
        <translation>Резервной копии </translation>
    </message>
    <message>
        <source> is kept for this phone</source>
        <translation> для этого телефона нет</translation>
    </message>
    <message>
        <source>The phone&apos;s previous file was put back: </source>
        <translation>Прежний файл телефона возвращён на место: </translation>
    </message>
    <message>
        <source> on an item with titles; the item properties window sets </source>
        <translation> у пункта с заголовками; окно свойств пункта ставит </translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Да</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Да для &amp;всех</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Нет</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Не сохранять</translation>
    </message>
</context>
<context>
    <name>tessaro::AboutBox</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Версия %1</translation>
    </message>
    <message>
        <source>Written by the Tessaro developers.</source>
        <translation>Авторы — разработчики Tessaro.</translation>
    </message>
    <message>
        <source>Source and notes: see the README next to the program.</source>
        <translation>Исходный код и заметки: см. README рядом с программой.</translation>
    </message>
    <message>
        <source>An editor for the main menu of Motorola P2K phones.
Thanks to everyone who tried the menus on their own phones and reported what worked.</source>
        <translation>Редактор главного меню телефонов Motorola P2K.
Спасибо всем, кто пробовал меню на своих телефонах и рассказывал, что работает.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>tessaro::AttributesDialog</name>
    <message>
        <source>Set file attributes</source>
        <translation>Атрибуты файла</translation>
    </message>
    <message>
        <source>File attributes</source>
        <translation>Атрибуты файла</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Только чтение</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Скрытый</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Системный</translation>
    </message>
</context>
<context>
    <name>tessaro::AvailableItemsBox</name>
    <message>
        <source>Open a menu first</source>
        <translation>Сначала откройте меню</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Фильтр: %1</translation>
    </message>
</context>
<context>
    <name>tessaro::BrowserDialogs</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Yes to all</source>
        <translation>Да для всех</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Пропустить</translation>
    </message>
</context>
<context>
    <name>tessaro::CentralArea</name>
    <message>
        <source>Available mma items</source>
        <translation>Доступные пункты mma</translation>
    </message>
</context>
<context>
    <name>tessaro::DeleteConfirmDialog</name>
    <message>
        <source>Confirmation</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Delete selected files?</source>
        <translation>Удалить выбранные файлы?</translation>
    </message>
</context>
<context>
    <name>tessaro::DifferencesWindow</name>
    <message>
        <source>Changes from %1 to this menu</source>
        <translation>Изменения от %1 к этому меню</translation>
    </message>
    <message>
        <source>The menus are the same.</source>
        <translation>Меню одинаковы.</translation>
    </message>
</context>
<context>
    <name>tessaro::DrmIconPicker</name>
    <message>
        <source>DRM Icon Picker</source>
        <translation>Выбор значка DRM</translation>
    </message>
    <message>
        <source>Select an icon</source>
        <translation>Выберите значок</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Просмотр картинки</translation>
    </message>
    <message>
        <source>Centered</source>
        <translation>По центру</translation>
    </message>
    <message>
        <source>Screen size</source>
        <translation>Размер экрана</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Load new...</source>
        <translation>Загрузить другой...</translation>
    </message>
    <message>
        <source>Open new CG15 binary</source>
        <translation>Открыть другой файл CG15</translation>
    </message>
</context>
<context>
    <name>tessaro::EmptyTreeHint</name>
    <message>
        <source>No menu is open</source>
        <translation>Меню не открыто</translation>
    </message>
    <message>
        <source>&amp;Open a menu file...</source>
        <translation>&amp;Открыть файл...</translation>
    </message>
    <message>
        <source>Open from the &amp;phone</source>
        <translation>Открыть с &amp;телефона</translation>
    </message>
    <message>
        <source>Start a &amp;new menu</source>
        <translation>Со&amp;здать меню</translation>
    </message>
    <message>
        <source>A phone is connected</source>
        <translation>Телефон подключён</translation>
    </message>
    <message>
        <source>No phone is connected</source>
        <translation>Телефон не подключён</translation>
    </message>
</context>
<context>
    <name>tessaro::EntryDialogs</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>tessaro::FolderTreeView</name>
    <message>
        <source>Phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>%1 free</source>
        <translation>свободно %1</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Free space</source>
        <translation>Свободно</translation>
    </message>
</context>
<context>
    <name>tessaro::ItemPopupMenus</name>
    <message>
        <source>Pick an item in &quot;Available mma items&quot; first</source>
        <translation>Сначала выберите пункт в «Доступные пункты mma»</translation>
    </message>
    <message>
        <source>Add subitem</source>
        <translation>Добавить подпункт</translation>
    </message>
    <message>
        <source>Add First</source>
        <translation>Добавить первым</translation>
    </message>
    <message>
        <source>Add Last</source>
        <translation>Добавить последним</translation>
    </message>
    <message>
        <source>Add item</source>
        <translation>Добавить пункт</translation>
    </message>
    <message>
        <source>Add Before</source>
        <translation>Добавить перед</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Заменить</translation>
    </message>
    <message>
        <source>Modify item</source>
        <translation>Изменить пункт</translation>
    </message>
    <message>
        <source>Delete item</source>
        <translation>Удалить пункт</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Переместить вверх</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Переместить вниз</translation>
    </message>
</context>
<context>
    <name>tessaro::ItemPropertiesWindow</name>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Language ID</source>
        <translation>ID языка</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>[None]</source>
        <translation>[Нет]</translation>
    </message>
    <message>
        <source>URL link</source>
        <translation>Ссылка URL</translation>
    </message>
    <message>
        <source>Application start</source>
        <translation>Запуск приложения</translation>
    </message>
    <message>
        <source>Emulate action</source>
        <translation>Эмуляция действия</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Ярлык</translation>
    </message>
    <message>
        <source>Call/Send</source>
        <translation>Вызов/Отправка</translation>
    </message>
    <message>
        <source>Show text</source>
        <translation>Показ текста</translation>
    </message>
    <message>
        <source>Item properties</source>
        <translation>Свойства пункта</translation>
    </message>
    <message>
        <source>Visual</source>
        <translation>Внешний вид</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>Функция</translation>
    </message>
    <message>
        <source>Item function:</source>
        <translation>Функция пункта:</translation>
    </message>
    <message>
        <source>Reset All Data</source>
        <translation>Сбросить все данные</translation>
    </message>
    <message>
        <source>Clear all data attached to the item</source>
        <translation>Удалить все данные, прикреплённые к пункту</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Menu title</source>
        <translation>Название в меню</translation>
    </message>
    <message>
        <source>Softkey title</source>
        <translation>Название софт-клавиши</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Item icons</source>
        <translation>Значки пункта</translation>
    </message>
    <message>
        <source>Animated icon</source>
        <translation>Анимированный значок</translation>
    </message>
    <message>
        <source>Static icon</source>
        <translation>Статичный значок</translation>
    </message>
    <message>
        <source>List icon</source>
        <translation>Значок списка</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Источник</translation>
    </message>
    <message>
        <source>Item attributes</source>
        <translation>Атрибуты пункта</translation>
    </message>
    <message>
        <source>Lockable</source>
        <translation>Блокируемый</translation>
    </message>
    <message>
        <source>Protected</source>
        <translation>Защищённый</translation>
    </message>
    <message>
        <source>Non-changeable</source>
        <translation>Неизменяемый</translation>
    </message>
    <message>
        <source>MIDlet-1</source>
        <translation>MIDlet-1</translation>
    </message>
    <message>
        <source>MIDlet name</source>
        <translation>Имя мидлета</translation>
    </message>
    <message>
        <source>MIDlet vendor</source>
        <translation>Поставщик мидлета</translation>
    </message>
    <message>
        <source>Select installed:</source>
        <translation>Выбрать установленный:</translation>
    </message>
    <message>
        <source>Action code (dec) [?]:</source>
        <translation>Код действия (дес.) [?]:</translation>
    </message>
    <message>
        <source>Shortcut data [?]</source>
        <translation>Данные ярлыка [?]</translation>
    </message>
    <message>
        <source>Call a number/Send SMS </source>
        <translation>Вызов номера/Отправка SMS </translation>
    </message>
    <message>
        <source>Dial this number</source>
        <translation>Набрать номер</translation>
    </message>
    <message>
        <source>Call</source>
        <translation>Вызов</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Отправка</translation>
    </message>
    <message>
        <source>Code 0x12 [?]</source>
        <translation>Код 0x12 [?]</translation>
    </message>
    <message>
        <source>Code 0x13 [?]</source>
        <translation>Код 0x13 [?]</translation>
    </message>
    <message>
        <source>Code 0x14 [?]</source>
        <translation>Код 0x14 [?]</translation>
    </message>
</context>
<context>
    <name>tessaro::ItemSummaryView</name>
    <message>
        <source>Item summary:</source>
        <translation>Сводка по пункту:</translation>
    </message>
</context>
<context>
    <name>tessaro::MainCommands</name>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Новый</translation>
    </message>
    <message>
        <source>Create new mma_ucp from scratch</source>
        <translation>Создать новый mma_ucp с нуля</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Открыть</translation>
    </message>
    <message>
        <source>Open mma_ucp from file</source>
        <translation>Открыть mma_ucp из файла</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>Save mma_ucp to file</source>
        <translation>Сохранить mma_ucp в файл</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>Open from &amp;phone</source>
        <translation>Открыть с &amp;телефона</translation>
    </message>
    <message>
        <source>Open mma_ucp from phone</source>
        <translation>Открыть mma_ucp с телефона</translation>
    </message>
    <message>
        <source>Save to p&amp;hone</source>
        <translation>Сохранить на т&amp;елефон</translation>
    </message>
    <message>
        <source>Save mma_ucp to phone</source>
        <translation>Сохранить mma_ucp на телефон</translation>
    </message>
    <message>
        <source>&amp;Restart Phone</source>
        <translation>&amp;Перезагрузить телефон</translation>
    </message>
    <message>
        <source>Restart phone</source>
        <translation>Перезагрузить телефон</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>&amp;Настройка</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;О программе...</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>&amp;Export as text...</source>
        <translation>&amp;Экспорт в текст...</translation>
    </message>
    <message>
        <source>Write the menu as an editable JSON description</source>
        <translation>Записать меню как редактируемое описание JSON</translation>
    </message>
    <message>
        <source>&amp;Import text...</source>
        <translation>&amp;Импорт текста...</translation>
    </message>
    <message>
        <source>Open a menu from its JSON description</source>
        <translation>Открыть меню из его описания JSON</translation>
    </message>
    <message>
        <source>&amp;Compare with...</source>
        <translation>Ср&amp;авнить с...</translation>
    </message>
    <message>
        <source>Show what differs between this menu and an mma_ucp file or a menu text</source>
        <translation>Показать, чем это меню отличается от файла mma_ucp или текста меню</translation>
    </message>
    <message>
        <source>Co&amp;mpare with phone</source>
        <translation>С&amp;равнить с телефоном</translation>
    </message>
    <message>
        <source>Show what Save to phone would change on the phone</source>
        <translation>Показать, что изменит в телефоне запись в телефон</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
</context>
<context>
    <name>tessaro::MainStatusBar</name>
    <message>
        <source>Phone: None</source>
        <translation>Телефон: нет</translation>
    </message>
</context>
<context>
    <name>tessaro::MainWindow</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>&amp;Undo </source>
        <translation>&amp;Отменить </translation>
    </message>
    <message>
        <source>&amp;Redo </source>
        <translation>&amp;Повторить </translation>
    </message>
    <message>
        <source>The phone&apos;s previous menu is kept in %1.
Put it back on the phone now?</source>
        <translation>Прежнее меню телефона сохранено в %1.
Вернуть его в телефон сейчас?</translation>
    </message>
    <message>
        <source>Save to phone</source>
        <translation>Сохранить в телефон</translation>
    </message>
    <message>
        <source>%1 was changed on disk since it was opened or saved here.
Write over it?</source>
        <translation>Файл %1 изменён на диске после открытия или сохранения здесь.
Записать поверх него?</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>The menu was written to the phone as %1</source>
        <translation>Меню записано в телефон как %1</translation>
    </message>
    <message>
        <source>Menu text written to %1</source>
        <translation>Текст меню записан в %1</translation>
    </message>
    <message>
        <source>the phone</source>
        <translation>телефона</translation>
    </message>
    <message>
        <source>%1 data records of unknown kinds will be left out. Save all keeps them.
Save without them?</source>
        <translation>Записи данных неизвестных видов (%1) будут пропущены. «Сохранять все данные» сохраняет их.
Сохранить без них?</translation>
    </message>
    <message>
        <source>%1 is read-only.
Replace it all the same?</source>
        <translation>%1 доступен только для чтения.
Всё равно заменить его?</translation>
    </message>
    <message>
        <source>Replace it?</source>
        <translation>Заменить его?</translation>
    </message>
    <message>
        <source>Saving changes the phone&apos;s menu:</source>
        <translation>Сохранение изменит меню телефона:</translation>
    </message>
    <message>
        <source>&amp;Save to phone</source>
        <translation>&amp;Сохранить в телефон</translation>
    </message>
    <message>
        <source>  Left out on save: %1</source>
        <translation>  Будет пропущено при записи: %1</translation>
    </message>
    <message>
        <source>new menu</source>
        <translation>новое меню</translation>
    </message>
    <message>
        <source>from phone</source>
        <translation>с телефона</translation>
    </message>
    <message>
        <source>imported</source>
        <translation>импортировано</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Сохранено: %1</translation>
    </message>
    <message>
        <source>The menu names icons the phone does not have:</source>
        <translation>Меню называет значки, которых нет на телефоне:</translation>
    </message>
    <message>
        <source>Interrupted upload</source>
        <translation>Прерванная загрузка</translation>
    </message>
    <message>
        <source>An upload of %1 to this phone was interrupted, which left the file cut short on the phone.
Its previous file is kept in %2.
Put it back on the phone now?</source>
        <translation>Загрузка %1 в этот телефон была прервана, и файл в телефоне остался обрезанным.
Прежний файл сохранён в %2.
Вернуть его в телефон сейчас?</translation>
    </message>
</context>
<context>
    <name>tessaro::MaskDialog</name>
    <message>
        <source>Set file mask</source>
        <translation>Маска файлов</translation>
    </message>
    <message>
        <source>Check volumes to read</source>
        <translation>Отметьте тома для чтения</translation>
    </message>
    <message>
        <source>Extension (none to read all files)</source>
        <translation>Расширение (пусто — все файлы)</translation>
    </message>
</context>
<context>
    <name>tessaro::MenuTreeModel</name>
    <message>
        <source>Softkeys</source>
        <translation>Софт-клавиши</translation>
    </message>
    <message>
        <source>Menu Root</source>
        <translation>Корень меню</translation>
    </message>
</context>
<context>
    <name>tessaro::PhoneFileBrowser</name>
    <message>
        <source>Picture Picker</source>
        <translation>Выбор картинки</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>File Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Attr</source>
        <translation>Атр.</translation>
    </message>
    <message>
        <source>Icon path/name:</source>
        <translation>Путь/имя значка:</translation>
    </message>
    <message>
        <source>Use path</source>
        <translation>Использовать путь</translation>
    </message>
    <message>
        <source>Update file list</source>
        <translation>Обновить список файлов</translation>
    </message>
    <message>
        <source>Icons only</source>
        <translation>Только значки</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Все файлы</translation>
    </message>
    <message>
        <source>By mask...</source>
        <translation>По маске...</translation>
    </message>
    <message>
        <source>Upload to this folder</source>
        <translation>Отправить в эту папку</translation>
    </message>
    <message>
        <source>Download selected</source>
        <translation>Скачать выбранные</translation>
    </message>
    <message>
        <source>Delete selected</source>
        <translation>Удалить выбранные</translation>
    </message>
    <message>
        <source>Set attribute</source>
        <translation>Задать атрибуты</translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation>Создать папку</translation>
    </message>
    <message>
        <source>Delete folder</source>
        <translation>Удалить папку</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>tessaro::PhonePreviewPane</name>
    <message>
        <source>Grid</source>
        <translation>Сетка</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Список</translation>
    </message>
    <message>
        <source>How the phone shows the menu</source>
        <translation>Как телефон показывает меню</translation>
    </message>
    <message>
        <source>The phone&apos;s screen size</source>
        <translation>Размер экрана телефона</translation>
    </message>
    <message>
        <source>First title</source>
        <translation>Первый заголовок</translation>
    </message>
    <message>
        <source>The phone&apos;s language: which title each item shows</source>
        <translation>Язык телефона: какой заголовок показывает каждый пункт</translation>
    </message>
    <message>
        <source>Icon folder...</source>
        <translation>Папка значков...</translation>
    </message>
    <message>
        <source>A folder holding a copy of the phone&apos;s files, for the icons when no phone is connected</source>
        <translation>Папка с копией файлов телефона: значки, когда телефон не подключён</translation>
    </message>
    <message>
        <source>Folder mirroring the phone&apos;s files</source>
        <translation>Папка с копией файлов телефона</translation>
    </message>
    <message>
        <source>Icons from the phone: %1 of %2</source>
        <translation>Значки с телефона: %1 из %2</translation>
    </message>
    <message>
        <source>Icons from the phone</source>
        <translation>Значки с телефона</translation>
    </message>
    <message>
        <source>Icons from %1</source>
        <translation>Значки из %1</translation>
    </message>
    <message>
        <source>No phone or icon folder</source>
        <translation>Нет телефона и папки значков</translation>
    </message>
</context>
<context>
    <name>tessaro::PhoneTrayIcon</name>
    <message>
        <source>P2K Status</source>
        <translation>Состояние P2K</translation>
    </message>
    <message>
        <source>Phone info</source>
        <translation>Сведения о телефоне</translation>
    </message>
    <message>
        <source>Model: </source>
        <translation>Модель: </translation>
    </message>
    <message>
        <source>F/W Version: </source>
        <translation>Версия прошивки: </translation>
    </message>
    <message>
        <source>LP Version: </source>
        <translation>Версия LP: </translation>
    </message>
</context>
<context>
    <name>tessaro::PreviewDock</name>
    <message>
        <source>Phone screen</source>
        <translation>Экран телефона</translation>
    </message>
    <message>
        <source>&amp;Phone screen</source>
        <translation>&amp;Экран телефона</translation>
    </message>
    <message>
        <source>Show the menu as the phone shows it</source>
        <translation>Показать меню так, как его показывает телефон</translation>
    </message>
    <message>
        <source>Vie&amp;w</source>
        <translation>Ви&amp;д</translation>
    </message>
</context>
<context>
    <name>tessaro::ProfileSelector</name>
    <message>
        <source>Select a profile for target phone.
Profile excludes unsupported mma items and sets proper mma_ucp format</source>
        <translation>Выберите профиль для целевого телефона.
Профиль исключает неподдерживаемые пункты mma и задаёт нужный формат mma_ucp</translation>
    </message>
</context>
<context>
    <name>tessaro::ProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>tessaro::SaveModePanel</name>
    <message>
        <source>MMA save mode</source>
        <translation>Режим сохранения MMA</translation>
    </message>
    <message>
        <source>22-byte</source>
        <translation>22 байта</translation>
    </message>
    <message>
        <source>Old mma_ucp format</source>
        <translation>Старый формат mma_ucp</translation>
    </message>
    <message>
        <source>36-byte</source>
        <translation>36 байт</translation>
    </message>
    <message>
        <source>New mma_ucp format</source>
        <translation>Новый формат mma_ucp</translation>
    </message>
    <message>
        <source>Save all data</source>
        <translation>Сохранять все данные</translation>
    </message>
    <message>
        <source>Save all mma data including currently unsupported</source>
        <translation>Сохранять все данные mma, включая пока не поддерживаемые</translation>
    </message>
    <message>
        <source>c698p mma_ucp fix</source>
        <translation>Исправление mma_ucp для c698p</translation>
    </message>
    <message>
        <source>Fix mma_ucp to act properly on R3624 FW</source>
        <translation>Исправить mma_ucp для правильной работы на прошивке R3624</translation>
    </message>
    <message>
        <source>CDMA mode (little-endian)</source>
        <translation>Режим CDMA (little-endian)</translation>
    </message>
    <message>
        <source>Custom icon attribute</source>
        <translation>Атрибут своего значка</translation>
    </message>
</context>
<context>
    <name>tessaro::SetupDialog</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Enable p2k ops logging</source>
        <translation>Вести журнал операций P2K</translation>
    </message>
    <message>
        <source>Set SYSTEM attribute</source>
        <translation>Ставить атрибут SYSTEM</translation>
    </message>
    <message>
        <source>Activate items in SEEM 0032</source>
        <translation>Активировать пункты в SEEM 0032</translation>
    </message>
    <message>
        <source>Read J2MEST</source>
        <translation>Читать J2MEST</translation>
    </message>
    <message>
        <source>From phone</source>
        <translation>С телефона</translation>
    </message>
    <message>
        <source>From card</source>
        <translation>С карты</translation>
    </message>
    <message>
        <source>Allow patching to run corelets</source>
        <translation>Разрешить исправление для запуска корлетов</translation>
    </message>
    <message>
        <source>Backup SEEM</source>
        <translation>Резервная копия SEEM</translation>
    </message>
    <message>
        <source>Restore backup</source>
        <translation>Восстановить копию</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>Java</source>
        <translation>Java</translation>
    </message>
</context>
<context>
    <name>tessaro::SplashScreen</name>
    <message>
        <source>edition</source>
        <translation>издание</translation>
    </message>
    <message>
        <source>For everyone who keeps an old phone alive.</source>
        <translation>Для всех, кто не даёт старому телефону уйти на покой.</translation>
    </message>
</context>
<context>
    <name>tessaro::TextEntryDialog</name>
    <message>
        <source>Text editor </source>
        <translation>Редактор текста </translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Выберите язык</translation>
    </message>
</context>
<context>
    <name>tessaro::TitleEntryDialog</name>
    <message>
        <source>Name settings</source>
        <translation>Настройка названия</translation>
    </message>
    <message>
        <source>Type in new name</source>
        <translation>Введите новое название</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Выберите язык</translation>
    </message>
</context>
<context>
    <name>tessaro::VirtualPhoneMenu</name>
    <message>
        <source>&amp;Virtual phone</source>
        <translation>&amp;Виртуальный телефон</translation>
    </message>
    <message>
        <source>&amp;Plug in</source>
        <translation>&amp;Подключить</translation>
    </message>
    <message>
        <source>&amp;Unplug</source>
        <translation>&amp;Отключить</translation>
    </message>
</context>
</TS>

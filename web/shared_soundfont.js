// Loaded into the page's audio worklet before the MIDI synthesiser's processor, so that
// every synthesiser of the page plays from one parsed soundfont: the first to be given
// the soundfont's bytes parses them, later ones are given an empty buffer under the same
// name and take that bank, and one that goes away leaves the bank to the others.
const SHARED_BANK = 'shared-gm';
const registerShared = registerProcessor;
let sharedBank = null;

globalThis.registerProcessor = (name, Processor) => registerShared(name, class extends Processor {
  constructor(options) {
    super(options);
    const core = this.core;
    const handle = core.handleMessage.bind(core);
    core.handleMessage = (message) => {
      const request = message.type === 'soundBankManager' && message.data.type === 'addSoundBank' ? message.data.data : null;
      const shared = request !== null && request.id === SHARED_BANK;
      const banks = () => core.synthesizer.soundBankManager;
      if (shared && sharedBank) {
        banks().addSoundBank(sharedBank, SHARED_BANK, request.bankOffset);
        core.postReady('soundBankManager', null);
        return;
      }
      if (message.type === 'destroyWorklet') banks().soundBankList = banks().soundBankList.filter((entry) => entry.id !== SHARED_BANK);
      handle(message);
      if (shared) sharedBank = banks().soundBankList.find((entry) => entry.id === SHARED_BANK)?.soundBank || null;
    };
  }
});

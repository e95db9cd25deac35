// A watching run's page (its data says live) follows live.js, a one-line
// script the run rewrites beside it: every few seconds a fresh <script>
// element loads it and it calls ledgerwiseLive; another generation reloads
// the page, the address keeping what the player was looking at. A file that
// is missing for a moment just waits for the next look. A page reloads once
// for a generation: if the page on disk is still another one (the run could
// not rewrite it), it waits for the next generation instead of reloading
// again and again. A one-shot run's page never asks for live.js.
const LIVE_POLL_MS = 3000;
const RELOADED_FOR = 'ledgerwise-live-reloaded-for';
function followLive() {
  if (!data.live) return;
  $('live-badge').hidden = false;
  const session = (op) => { try { return op(sessionStorage); } catch { return null; } };
  const tried = session((s) => s.getItem(RELOADED_FOR));
  let script = null, reloading = false;
  window.ledgerwiseLive = (info) => {
    if (typeof info?.updated === 'string') $('live-updated').textContent = `${info.updated} 更新`;
    const generation = info?.generation;
    if (reloading || typeof generation !== 'string' || generation === data.live.generation || generation === tried) return;
    reloading = true;
    session((s) => s.setItem(RELOADED_FOR, generation));
    saveState();
    location.reload();
  };
  const look = () => {
    script?.remove();
    script = document.createElement('script');
    script.src = `live.js?${Date.now()}`;
    document.head.append(script);
  };
  look();
  setInterval(look, LIVE_POLL_MS);
}

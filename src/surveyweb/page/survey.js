// The pupil's side of an answer collection: the code, the positive and the negative choices,
// sent once to the teacher's computer. Names are set as text, never as markup.
"use strict";

(function () {
  const texts = document.getElementById("texts").dataset;
  const codeStep = document.getElementById("code-step");
  const choiceStep = document.getElementById("choice-step");
  const thanksStep = document.getElementById("thanks-step");
  const errorBox = document.getElementById("error");
  const membersList = document.getElementById("members");
  const nextButton = document.getElementById("next");

  let survey = null;
  let code = "";
  let step = "positive";
  const chosen = { positive: new Set(), negative: new Set() };

  function fill(text, value) {
    return text.replace("%1", value);
  }

  function showError(text) {
    errorBox.textContent = text;
    errorBox.hidden = !text;
  }

  async function call(url, options) {
    let response;
    try {
      response = await fetch(url, Object.assign({ cache: "no-store", credentials: "omit" }, options));
    } catch (e) {
      return { status: 0, body: { error: texts.offline } };
    }
    let body = {};
    try {
      body = await response.json();
    } catch (e) {
      body = { error: texts.offline };
    }
    return { status: response.status, body: body };
  }

  function otherKind(kind) {
    return kind === "positive" ? "negative" : "positive";
  }

  function renderStep() {
    const limit = survey.limits[step];
    const mine = chosen[step];
    const taken = chosen[otherKind(step)];
    document.getElementById("rule").textContent =
      fill(step === "positive" ? texts.positive : texts.negative, limit);
    membersList.replaceChildren();
    for (const member of survey.members) {
      const item = document.createElement("li");
      const label = document.createElement("label");
      const box = document.createElement("input");
      box.type = "checkbox";
      box.value = String(member.id);
      box.checked = mine.has(member.id);
      box.disabled = taken.has(member.id) || (!box.checked && mine.size >= limit);
      box.addEventListener("change", () => {
        if (box.checked) mine.add(member.id); else mine.delete(member.id);
        renderStep();
      });
      const name = document.createElement("span");
      name.textContent = member.name;
      label.append(box, name);
      item.append(label);
      membersList.append(item);
    }
    const last = step === "negative" || survey.limits.negative === 0;
    nextButton.textContent = last ? texts.submit : texts.next;
  }

  codeStep.addEventListener("submit", async (event) => {
    event.preventDefault();
    showError("");
    code = document.getElementById("code").value.trim();
    const reply = await call("/api/survey?code=" + encodeURIComponent(code));
    if (reply.status !== 200) {
      showError(reply.body.error || texts.offline);
      return;
    }
    survey = reply.body;
    step = "positive";
    chosen.positive.clear();
    chosen.negative.clear();
    document.getElementById("greeting").textContent = fill(texts.greeting, survey.pupil);
    document.getElementById("question").textContent = survey.question;
    codeStep.hidden = true;
    choiceStep.hidden = false;
    renderStep();
  });

  document.getElementById("back").addEventListener("click", () => {
    showError("");
    if (step === "negative") {
      step = "positive";
      renderStep();
      return;
    }
    choiceStep.hidden = true;
    codeStep.hidden = false;
  });

  choiceStep.addEventListener("submit", async (event) => {
    event.preventDefault();
    showError("");
    if (step === "positive" && survey.limits.negative > 0) {
      step = "negative";
      renderStep();
      return;
    }
    nextButton.disabled = true;
    const reply = await call("/api/answer", {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({
        code: code,
        positive: Array.from(chosen.positive),
        negative: Array.from(chosen.negative),
      }),
    });
    nextButton.disabled = false;
    if (reply.status !== 200) {
      showError(reply.body.error || texts.offline);
      return;
    }
    choiceStep.hidden = true;
    thanksStep.hidden = false;
    code = "";
    survey = null;
  });
})();
